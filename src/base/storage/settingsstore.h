#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/values/globaloptions.h"
#include "base/values/status.h"
#include "base/values/taskrecord.h"
#include "base/values/taskrow.h"
#include "base/values/viewsettings.h"

namespace dromo {

class Network;
class PasswordKeyring;
class Profile;
class TaskAdder;
class TaskTable;

// The profile section of the saved task list: its passwords' keyring
// entries are named in it too.
inline constexpr const char* kTaskListSection = "URL";

// Reads and writes the options, the three lists and the saved task table in
// the profile.
//
// Reading never trusts the stored counts alone: only entries that are
// actually stored (and whose index is below the count) are visited, so a
// count such as 2147483647 costs nothing.
//
// Stored tasks are never dropped for want of room: one run hands out at most
// RowMap::kMaxEntries task identifiers (as many as a profile's 32-bit count
// can name), so a profile holding more would keep the rest here,
// unloaded, and every save writes them back after the tasks of the list.
// They load at a later start once the list has room for them.
class SettingsStore {
public:
    SettingsStore(Profile& profile, PlatformDefaults platform);
    // Lets the saves handed to the profile's writer thread finish first:
    // they read this store's keyring.
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;
    // Passwords go to this keyring where it takes them (before Load).
    void UseKeyring(PasswordKeyring* keyring) { m_keyring = keyring; }

    // The options, the lists and the network state first, the saved tasks
    // last (through the adder, which may start workers that read the rest).
    void Load(ViewSettings& settings, TaskAdder& adder, Network& network);
    // Writes everything back; a failure when the profile could not be
    // written.
    Status Save(const ViewSettings& settings, const TaskTable& table);
    // The same, without waiting for the disk (the auto-save's way): a
    // failure when the save before failed; LastSave tells this one's
    // outcome later.
    Status SaveSoon(const ViewSettings& settings, const TaskTable& table);
    // The same again, and `written` is told once what it wrote is durable
    // (on the profile writer's thread, or on this one when that was at once).
    void SaveThen(const ViewSettings& settings, const TaskTable& table, std::function<void(const Status&)> written);

    GlobalOptions LoadOptions();
    void LoadTasks(TaskAdder& adder);
    CategoryList LoadCategories();
    SiteList LoadSites();
    ProxyList LoadProxies();

    void SaveOptions(const GlobalOptions& options, int taskCount);
    // The browser capture switches, written and flushed at once: the capture
    // host reads them from the profile while Dromo runs.
    Status SaveCaptureOptions(const GlobalOptions& options);
    void SaveCategories(const CategoryList& categories);
    void SaveSites(const SiteList& sites);
    void SaveProxies(const ProxyList& proxies);

    // The stored tasks the list had no room for; kept and saved again.
    int UnloadedTaskCount() const { return static_cast<int>(m_unloaded->size()); }
    // The message telling the user about them ("" when there are none).
    std::string UnloadedTasksMessage() const;
    // The outcome of the last save.
    Status LastSave() const;

private:
    // A saved task as the profile holds it: its four column texts and its
    // record.
    struct StoredTask {
        std::string target;
        std::string size;
        std::string resume;
        std::string progress;
        TaskRecord record;
    };
    // The tasks as a save stores them, in row order. Each is shared with
    // the snapshots before it that held it unchanged, and with the task
    // sections handed to the profile.
    using TaskSnapshot = std::vector<std::shared_ptr<const StoredTask>>;

    void WriteAll(const ViewSettings& settings, const TaskTable& table);
    // The options without the task count.
    void SaveOptionValues(const GlobalOptions& options);
    StoredTask ReadTask(int index);
    // Under the task-table lock, copies only what changed since the last
    // snapshot: a save costs the window little however long the list.
    std::shared_ptr<const TaskSnapshot> SnapshotTasks(const TaskTable& table);
    // Hands the task section to the profile: written from the snapshot, the
    // unloaded tasks after it, the keyring's entries and the sweep of the
    // ones no task names any more, on whichever thread the profile fills it.
    void ReplaceTasks(std::shared_ptr<const TaskSnapshot> tasks);
    static void WriteTask(Profile& out, PasswordKeyring* keyring, int index, const StoredTask& task);
    // The same as a part of the section, which a profile may keep and take
    // again at the next save where the task at this index is the same.
    static void WriteTaskPart(Profile& out, PasswordKeyring* keyring, int index,
                              const std::shared_ptr<const StoredTask>& task);
    // Whether a stored task holds what a save would store of this record.
    static bool StoresAs(const StoredTask& saved, const TaskRecord& record, const TaskRow& row);

    // The passwords: `keyringId` names the keyring entry a password came
    // from, for its row to keep.
    std::string ReadPassword(const std::string& section, const std::string& name, std::string& keyringId);
    void WritePassword(const std::string& section, const std::string& name, const std::string& password,
                       const std::string& keyringId);
    static void WritePasswordTo(Profile& out, PasswordKeyring* keyring, const std::string& section,
                                const std::string& name, const std::string& password, const std::string& keyringId);
    // The site and proxy passwords: always Base64 in the profile.
    std::string ReadListPassword(const std::string& section, const std::string& name, std::string& keyringId);
    void WriteListPassword(const std::string& section, const std::string& name, const std::string& password,
                           const std::string& keyringId);
    // The keyring's step in the four above, where one is in use.
    std::optional<std::string> KeyringLoad(const std::string& section, const std::string& name, std::string& keyringId);
    bool KeyringSave(const std::string& section, const std::string& name, const std::string& password,
                     const std::string& keyringId);
    // After a section's passwords were all saved.
    void KeyringSweep(const std::string& section);

    Profile& m_profile;
    PlatformDefaults m_platform;
    // Shared with the task sections handed to the profile, which may still
    // be written after a load replaced it.
    std::shared_ptr<const std::vector<StoredTask>> m_unloaded = std::make_shared<const std::vector<StoredTask>>();
    std::shared_ptr<const TaskSnapshot> m_snapshot = std::make_shared<const TaskSnapshot>();
    // What a stored task without its own connection count takes.
    std::int32_t m_connectionsDefault = GlobalOptions{}.connectionsPerTask;
    PasswordKeyring* m_keyring = nullptr;
    // The options' password is no row: its keyring entry is kept here.
    std::string m_optionsKeyringId;
};

}  // namespace dromo
