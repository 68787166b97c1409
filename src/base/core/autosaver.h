#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/core/status.h"

namespace dromo {

class SettingsStore;
class TaskTable;
struct ViewSettings;

// Saves the settings and the task list shortly after the list changed (a
// task added, removed or changing state), so a crash loses no task. Ticked
// by the one-second timer on the user-interface thread, never by a worker.
//
// The ticks hand the file to the disk without waiting for it (a slow
// fsync never freezes the window); the explicit saves wait. A save that
// fails (a full disk, a read-only profile) is tried again on every tick
// until one succeeds, and the reason stays readable meanwhile so the window
// can show it.
class AutoSaver {
public:
    AutoSaver(SettingsStore& store, const ViewSettings& settings, const TaskTable& table);

    // Saves when the list changed since the last save, or the last save
    // failed; true when it saved (or tried to).
    bool Tick();
    // The profile holds the list as it stood when the table's change count
    // was `changes` (read before the saved copy was taken, never after: a
    // worker may change a task while a save runs, and that change must
    // still reach the profile at the next tick).
    void SavedAt(std::uint64_t changes);
    // Runs the start-up load of the saved tasks. The profile then holds the
    // list as restored (one append per restored task); anything a worker
    // changed meanwhile (a task "Resume if Start" started and that already
    // ended) is saved at the first tick.
    void RunLoad(const std::function<void()>& load);
    // A full save elsewhere failed: the ticks try again.
    void Failed(std::string reason);
    // Saves everything now and records the outcome, as "Save Settings Now"
    // and the exit do; a failure when the profile could not be written.
    Status SaveNow();

    // Why the last save failed; "" while saving works.
    const std::string& Problem() const { return m_problem; }

private:
    Status Save(bool wait);

    SettingsStore& m_store;
    const ViewSettings& m_settings;
    const TaskTable& m_table;
    std::uint64_t m_savedAt;
    std::string m_problem;
};

}  // namespace dromo
