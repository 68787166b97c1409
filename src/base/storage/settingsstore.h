#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/values/globaloptions.h"
#include "base/values/status.h"
#include "base/values/taskrecord.h"
#include "base/values/viewsettings.h"

namespace dromo {

class Network;
class PasswordKeyring;
class Profile;
class TaskAdder;
class TaskTable;

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
    void SaveTasks(const TaskTable& table);
    void SaveCategories(const CategoryList& categories);
    void SaveSites(const SiteList& sites);
    void SaveProxies(const ProxyList& proxies);

    // The stored tasks the list had no room for; kept and saved again.
    int UnloadedTaskCount() const { return static_cast<int>(m_unloaded.size()); }
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
    void WriteAll(const ViewSettings& settings, const TaskTable& table);
    StoredTask ReadTask(int index);
    void WriteTask(int index, const StoredTask& task);

    // The passwords: `keyringId` names the keyring entry a password came
    // from, for its row to keep.
    std::string ReadPassword(const std::string& section, const std::string& name, std::string& keyringId);
    void WritePassword(const std::string& section, const std::string& name, const std::string& password,
                       const std::string& keyringId);
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
    void WriteTasks(const TaskTable& table);

    Profile& m_profile;
    PlatformDefaults m_platform;
    std::vector<StoredTask> m_unloaded;
    // What a stored task without its own connection count takes.
    std::int32_t m_connectionsDefault = GlobalOptions{}.connectionsPerTask;
    PasswordKeyring* m_keyring = nullptr;
    // The options' password is no row: its keyring entry is kept here.
    std::string m_optionsKeyringId;
};

}  // namespace dromo
