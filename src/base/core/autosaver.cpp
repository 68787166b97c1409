#include "core/autosaver.h"

#include "core/settingsstore.h"
#include "core/tasktable.h"

namespace dromo {

AutoSaver::AutoSaver(SettingsStore& store, const ViewSettings& settings, const TaskTable& table)
    : m_store(store), m_settings(settings), m_table(table), m_savedAt(table.ChangeCount())
{
}

bool AutoSaver::Tick()
{
    const std::uint64_t changes = m_table.ChangeCount();
    if (changes == m_savedAt) {
        return false;
    }
    // A failed write is tried again on the next tick.
    if (m_store.Save(m_settings, m_table)) {
        m_savedAt = changes;
    }
    return true;
}

void AutoSaver::Saved()
{
    m_savedAt = m_table.ChangeCount();
}

}  // namespace dromo
