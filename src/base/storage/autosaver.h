#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/values/status.h"

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
//
// Hand-overs from outside (a browser, another start's command line, a
// burst of calls) each wait until their task is on disk before their
// caller hears success; they share saves (a group commit): a caller joins
// the save that starts at once when none is being written, else the next
// one, which starts when the one being written is durable. A burst of a
// thousand hand-overs thus costs a few saves, not a thousand.
class AutoSaver {
public:
    // Told whether the tasks added before joining are on disk.
    using Saved = std::function<void(const Status&)>;
    // Brings a call back to the thread the saver lives on (the window's).
    using PostBack = std::function<void(std::function<void()>)>;

    AutoSaver(SettingsStore& store, const ViewSettings& settings, const TaskTable& table);
    ~AutoSaver();
    AutoSaver(const AutoSaver&) = delete;
    AutoSaver& operator=(const AutoSaver&) = delete;

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
    // Joins the group commit: `saved` is told, on the saver's thread, once
    // every task in the list now is durable (or the save failed).
    void SaveFor(Saved saved);
    // How the writer's answers come back; until set (and once cleared)
    // they run where the writer tells them, which suits a profile that
    // writes at once. Clear it before the thread it posts to goes.
    void PostBackWith(PostBack post);
    // Callers waiting for a save, for the window's exit and the tests.
    int WaitingCallers() const { return static_cast<int>(m_joining.size() + m_saving.size()); }

    // Why the last save failed; "" while saving works.
    const std::string& Problem() const { return m_problem; }

private:
    // Shared with the writer's answers, which may outlive a poster.
    struct Way {
        std::mutex mutex;
        PostBack post;
        bool saverGone = false;
    };

    Status Save(bool wait);
    void StartGroupSave();
    void GroupSaved(std::uint64_t group, const Status& saved);
    void Tell(std::vector<Saved>& callers, const Status& saved);

    SettingsStore& m_store;
    const ViewSettings& m_settings;
    const TaskTable& m_table;
    std::uint64_t m_savedAt;
    std::string m_problem;
    std::shared_ptr<Way> m_way = std::make_shared<Way>();
    std::vector<Saved> m_joining;  // wait for the next group save
    std::vector<Saved> m_saving;   // wait for the group save being written
    std::uint64_t m_group = 0;     // the group save being written; 0 when none
    std::uint64_t m_groups = 0;
};

}  // namespace dromo
