#include "base/storage/autosaver.h"

#include <algorithm>
#include <utility>

#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"

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

AutoSaver::~AutoSaver()
{
    std::lock_guard lock(m_way->mutex);
    m_way->post = nullptr;
    m_way->saverGone = true;
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
    Status saved = Save(true);
    if (saved) {
        // The whole list is on disk: nobody waits for a group save any more.
        Tell(m_saving, saved);
        Tell(m_joining, saved);
    }
    return saved;
}

void AutoSaver::SaveFor(Saved saved)
{
    m_joining.push_back(std::move(saved));
    if (m_group == 0) {
        StartGroupSave();
    }
}

void AutoSaver::PostBackWith(PostBack post)
{
    std::lock_guard lock(m_way->mutex);
    m_way->post = std::move(post);
}

void AutoSaver::StartGroupSave()
{
    m_group = ++m_groups;
    m_saving = std::exchange(m_joining, {});
    // Read before the copy is taken, as for every save.
    m_savedAt = m_table.ChangeCount();
    m_store.SaveThen(m_settings, m_table, [this, way = m_way, group = m_group](const Status& saved) {
        std::unique_lock lock(way->mutex);
        if (way->saverGone) {
            return;
        }
        if (way->post) {
            way->post([this, group, saved] { GroupSaved(group, saved); });
            return;
        }
        lock.unlock();
        GroupSaved(group, saved);
    });
}

void AutoSaver::GroupSaved(std::uint64_t group, const Status& saved)
{
    if (group != m_group) {
        return;
    }
    m_group = 0;
    if (saved) {
        m_problem.clear();
    } else {
        Failed(ReasonOf(saved));  // the ticks try again
    }
    Tell(m_saving, saved ? saved : Status::Failure(m_problem));
    if (!m_joining.empty()) {
        StartGroupSave();
    }
}

void AutoSaver::Tell(std::vector<Saved>& callers, const Status& saved)
{
    for (Saved& tell : std::exchange(callers, {})) {
        tell(saved);
    }
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
