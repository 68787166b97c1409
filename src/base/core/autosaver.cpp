#include "base/core/autosaver.h"

#include <algorithm>

#include "base/core/settingsstore.h"
#include "base/core/tasktable.h"

namespace dromo {
namespace {

// A store that gives no reason still gets one for the user.
std::string ReasonOf(const Status& failed)
{
    return failed.Reason().empty() ? "The settings could not be saved." : failed.Reason();
}

}  // namespace

AutoSaver::AutoSaver(SettingsStore& store, const ViewSettings& settings, const TaskTable& table)
    : m_store(store), m_settings(settings), m_table(table), m_savedAt(table.ChangeCount())
{
}

bool AutoSaver::Tick()
{
    // The ticks save without waiting for the disk: a write that failed
    // since shows here, and is tried again below.
    if (const Status last = m_store.LastSave(); !last) {
        m_problem = ReasonOf(last);
    }
    if (m_table.ChangeCount() == m_savedAt && m_problem.empty()) {
        return false;
    }
    static_cast<void>(Save(false));  // the outcome stays in Problem()
    return true;
}

Status AutoSaver::SaveNow()
{
    return Save(true);
}

Status AutoSaver::Save(bool wait)
{
    // Read before saving: a change made while the save runs is saved next time.
    const std::uint64_t changes = m_table.ChangeCount();
    const Status saved = wait ? m_store.Save(m_settings, m_table) : m_store.SaveSoon(m_settings, m_table);
    if (!saved) {
        Failed(ReasonOf(saved));
        return Status::Failure(m_problem);
    }
    SavedAt(changes);
    return {};
}

void AutoSaver::RunLoad(const std::function<void()>& load)
{
    const std::uint64_t before = m_table.ChangeCount();
    const int rowsBefore = m_table.Count();
    load();
    // Each append counts one change. A row a worker removed meanwhile counts
    // its removal and is missing from the rows: either way the difference
    // stays and the first tick saves.
    const int restored = m_table.Count() - rowsBefore;
    SavedAt(before + static_cast<std::uint64_t>(std::max(restored, 0)));
}

void AutoSaver::SavedAt(std::uint64_t changes)
{
    m_savedAt = changes;
    m_problem.clear();
}

void AutoSaver::Failed(std::string reason)
{
    m_problem = std::move(reason);
}

}  // namespace dromo
