#pragma once

#include <cstdint>

namespace dromo {

class SettingsStore;
class TaskTable;
struct ViewSettings;

// Saves the settings and the task list shortly after the list changed (a
// task added, removed or changing state), so a crash loses no task. Ticked
// by the one-second timer on the user-interface thread, never by a worker.
class AutoSaver {
public:
    AutoSaver(SettingsStore& store, const ViewSettings& settings, const TaskTable& table);

    // Saves when the list changed since the last save; true when it saved.
    bool Tick();
    // A full save happened elsewhere (exit, "Save Settings Now").
    void Saved();

private:
    SettingsStore& m_store;
    const ViewSettings& m_settings;
    const TaskTable& m_table;
    std::uint64_t m_savedAt;
};

}  // namespace dromo
