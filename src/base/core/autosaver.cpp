#include "base/core/autosaver.h"

#include "base/core/settingsstore.h"
#include "base/core/tasktable.h"

namespace dromo {

AutoSaver::AutoSaver(SettingsStore& store, const ViewSettings& settings, const TaskTable& table)
    : m_store(store), m_settings(settings), m_table(table), m_savedAt(table.ChangeCount())
{
}

bool AutoSaver::Tick()
{
    // The ticks save without waiting for the disk: a write that failed
    // since shows here, and is tried again below.
    if (std::string failed = m_store.SaveError(); !failed.empty()) {
        m_problem = std::move(failed);
    }
    if (m_table.ChangeCount() == m_savedAt && m_problem.empty()) {
        return false;
    }
    Save(false);
    return true;
}

bool AutoSaver::SaveNow()
{
    return Save(true);
}

bool AutoSaver::Save(bool wait)
{
    // Read before saving: a change made while the save runs is saved next time.
    const std::uint64_t changes = m_table.ChangeCount();
    if (!(wait ? m_store.Save(m_settings, m_table) : m_store.SaveSoon(m_settings, m_table))) {
        const std::string reason = m_store.SaveError();
        Failed(reason.empty() ? "The settings could not be saved." : reason);
        return false;
    }
    m_savedAt = changes;
    m_problem.clear();
    return true;
}

void AutoSaver::Saved()
{
    m_savedAt = m_table.ChangeCount();
    m_problem.clear();
}

void AutoSaver::Failed(std::string reason)
{
    m_problem = std::move(reason);
}

}  // namespace dromo
