#include "base/storage/passwordkeyring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/commands/taskadder.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "base/text/base64.h"
#include "tests/base/fakes/fakeprofile.h"
#include "tests/base/fakes/fakes.h"

namespace dromo {
namespace {

// A keyring that may refuse to write or to read, as a missing or locked one does.
struct FakeSecrets : SecretStore {
    std::map<std::string, std::string> held;
    bool writable = true;
    bool readable = true;
    bool deletable = true;
    int writes = 0;
    int deletes = 0;
    bool Write(const std::string& key, const std::string& secret) override
    {
        ++writes;
        if (!writable) {
            return false;
        }
        held[key] = secret;
        return true;
    }
    std::optional<std::string> Read(const std::string& key) override
    {
        const auto found = held.find(key);
        if (!readable || found == held.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    bool Delete(const std::string& key) override
    {
        ++deletes;
        if (!deletable) {
            return false;
        }
        held.erase(key);
        return true;
    }
};

// One run of the program: a store over the shared profile and keyring.
struct ProgramRun {
    test::FakeProfile& profile;
    FakeSecrets& secrets;
    PasswordKeyring keyring{secrets};
    SettingsStore store{profile, PlatformDefaults{"/dl/", "/share/"}};
    ViewSettings settings;
    TaskTable table;
    test::FakeWorkerStarter pool;
    test::RecordingObserver observer;
    test::FakeNetwork network;
    test::FakeMessages messages;
    test::FakeSound sound;
    TaskAdder adder{table, settings, pool, observer, messages, sound};

    ProgramRun(test::FakeProfile& p, FakeSecrets& s) : profile(p), secrets(s)
    {
        store.UseKeyring(&keyring);
        store.Load(settings, adder, network);
    }
    bool Save() { return store.Save(settings, table).Ok(); }
    std::vector<std::string> Passwords()
    {
        return {settings.options.password, table.CopyOut(0)->password, settings.sites.at(0).password,
                settings.proxies.at(0).password};
    }
};

std::string Stored(test::FakeProfile& profile, const std::string& section, const std::string& name)
{
    return profile.GetString(section, name, "(none)");
}

int Marker(test::FakeProfile& profile, const std::string& section, const std::string& name)
{
    return profile.GetInt(section, name + " Keyring", 0);
}

// What the keyring holds for a profile value, found through the value's
// entry identifier; "(none)" when it holds nothing there.
std::string InKeyring(test::FakeProfile& profile, const FakeSecrets& secrets, const std::string& section,
                      const std::string& name)
{
    const auto found = secrets.held.find(section + "/" + Stored(profile, section, name + " Keyring Id"));
    return found == secrets.held.end() ? "(none)" : found->second;
}

// A profile as earlier versions wrote it: every password Base64.
void WriteOldProfile(test::FakeProfile& profile)
{
    profile.WriteString("Settings", "Password", Base64Encode("ftp-pass"));
    profile.WriteInt("Settings", "MRU Num", 1);
    profile.WriteString("URL", "URL0\\Target", "ftp://h/a.zip");
    profile.WriteString("URL", "URL0\\Password", Base64Encode("task-pass"));
    profile.WriteInt("URL", "URL0\\Enable Authentication", 1);
    profile.WriteInt("Settings", "Site Num", 1);
    profile.WriteString("Site", "Site0\\Host", "h");
    profile.WriteString("Site", "Site0\\Password", Base64Encode("site-pass"));
    profile.WriteInt("Settings", "Proxy Num", 1);
    profile.WriteString("Proxy", "Proxy0\\Host", "p");
    profile.WriteString("Proxy", "Proxy0\\Password", Base64Encode("proxy-pass"));
}

// A profile of an earlier version after its first save with a keyring.
struct Moved {
    test::FakeProfile profile;
    FakeSecrets secrets;
    Moved()
    {
        WriteOldProfile(profile);
        ProgramRun(profile, secrets).Save();
    }
};

const std::pair<const char*, const char*> kPasswordValues[] = {
    {"Settings", "Password"}, {"URL", "URL0\\Password"}, {"Site", "Site0\\Password"}, {"Proxy", "Proxy0\\Password"}};
const std::vector<std::string> kPasswords{"ftp-pass", "task-pass", "site-pass", "proxy-pass"};

// The first save moves every password to the keyring; the profile keeps ""
// and a marker; the next run reads them back from the keyring.
TEST(PasswordKeyring, TheFirstSaveMovesThePasswordsAndTheyComeBack)
{
    test::FakeProfile profile;
    FakeSecrets secrets;
    WriteOldProfile(profile);
    {
        ProgramRun run(profile, secrets);
        EXPECT_EQ(run.Passwords(), kPasswords);
        ASSERT_TRUE(run.Save());
    }
    for (const auto& [section, name] : kPasswordValues) {
        EXPECT_EQ(Stored(profile, section, name), "") << name;
        EXPECT_EQ(Marker(profile, section, name), 1) << name;
    }
    EXPECT_EQ(secrets.held.size(), 4u);
    EXPECT_EQ(InKeyring(profile, secrets, "Site", "Site0\\Password"), "site-pass");
    ProgramRun next(profile, secrets);
    EXPECT_EQ(next.Passwords(), kPasswords);
    // Unchanged passwords are not written again at every save.
    const int writes = secrets.writes;
    ASSERT_TRUE(next.Save());
    EXPECT_EQ(secrets.writes, writes);
}

// Without a keyring the profile keeps the passwords as it always did.
TEST(PasswordKeyring, WithoutAKeyringTheProfileKeepsThem)
{
    test::FakeProfile profile;
    FakeSecrets secrets;
    secrets.writable = false;
    WriteOldProfile(profile);
    ProgramRun run(profile, secrets);
    ASSERT_TRUE(run.Save());
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& [section, name] = kPasswordValues[i];
        EXPECT_EQ(Stored(profile, section, name), Base64Encode(kPasswords[i])) << name;
        EXPECT_EQ(Marker(profile, section, name), 0) << name;
    }
    EXPECT_EQ(ProgramRun(profile, secrets).Passwords(), kPasswords);
}

// A keyring that is locked at start gives nothing: the passwords read as
// "", and a save then keeps pointing at the keyring instead of dropping
// them; once it opens again they are all there.
TEST(PasswordKeyring, ALockedKeyringLosesNothing)
{
    Moved m;
    auto& [profile, secrets] = m;
    secrets.readable = false;
    secrets.writable = false;
    {
        ProgramRun locked(profile, secrets);
        EXPECT_EQ(locked.Passwords(), std::vector<std::string>(4, ""));
        ASSERT_TRUE(locked.Save());
    }
    for (const auto& [section, name] : kPasswordValues) {
        EXPECT_EQ(Stored(profile, section, name), "") << name;
        EXPECT_EQ(Marker(profile, section, name), 1) << name;
    }
    secrets.readable = true;
    EXPECT_EQ(ProgramRun(profile, secrets).Passwords(), kPasswords);
}

// A password read while the keyring was locked is asked for again by
// whoever needs it: nothing while the keyring stays locked (a save in
// between keeps its entry), the password once it opens. An identifier Load
// never handed out gets nothing.
TEST(PasswordKeyring, APasswordReadWhileLockedIsGivenOnceTheKeyringOpens)
{
    Moved m;
    auto& [profile, secrets] = m;
    secrets.readable = false;
    secrets.writable = false;
    ProgramRun locked(profile, secrets);
    std::vector<std::string> ids;
    for (const auto& [section, name] : kPasswordValues) {
        ids.push_back(Stored(profile, section, std::string(name) + " Keyring Id"));
        EXPECT_EQ(locked.keyring.Recall(section, ids.back()), std::nullopt) << name;
    }
    ASSERT_TRUE(locked.Save());
    secrets.readable = true;
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(locked.keyring.Recall(kPasswordValues[i].first, ids[i]), kPasswords[i]) << kPasswordValues[i].second;
    }
    EXPECT_EQ(locked.keyring.Recall("URL", ids[2]), std::nullopt);  // the site's entry is no task's
    EXPECT_EQ(locked.keyring.Recall("URL", ""), std::nullopt);
    ASSERT_TRUE(locked.Save());
    EXPECT_EQ(ProgramRun(profile, secrets).Passwords(), kPasswords);
}

// A password that became no secret (the placeholder, or empty) goes back to
// the profile and its marker is cleared; a changed one is written again.
TEST(PasswordKeyring, ChangedPasswordsFollow)
{
    Moved m;
    auto& [profile, secrets] = m;
    {
        ProgramRun run(profile, secrets);
        run.settings.options.password = kDefaultPassword;
        run.settings.sites[0].password = "";
        run.settings.proxies[0].password = "new-proxy-pass";
        ASSERT_TRUE(run.Save());
    }
    EXPECT_EQ(Stored(profile, "Settings", "Password"), kDefaultPassword);
    EXPECT_EQ(Marker(profile, "Settings", "Password"), 0);
    EXPECT_EQ(Stored(profile, "Site", "Site0\\Password"), "");
    EXPECT_EQ(Marker(profile, "Site", "Site0\\Password"), 0);
    EXPECT_EQ(InKeyring(profile, secrets, "Proxy", "Proxy0\\Password"), "new-proxy-pass");
    // The entries of the old passwords went; the task's stayed.
    EXPECT_EQ(secrets.held.size(), 2u);
    EXPECT_EQ(ProgramRun(profile, secrets).Passwords(),
              (std::vector<std::string>{kDefaultPassword, "task-pass", "", "new-proxy-pass"}));
}

// Two rows in each list, as earlier versions wrote them: every password
// Base64 in the profile.
void WriteTwoOfEach(test::FakeProfile& profile)
{
    profile.WriteInt("Settings", "MRU Num", 2);
    profile.WriteInt("Settings", "Site Num", 2);
    profile.WriteInt("Settings", "Proxy Num", 2);
    for (int i = 0; i < 2; ++i) {
        const std::string n = std::to_string(i);
        const std::string tag = i == 0 ? "a" : "b";
        profile.WriteString("URL", "URL" + n + "\\Target", "ftp://h/" + tag + ".zip");
        profile.WriteString("URL", "URL" + n + "\\Username", "u" + tag);
        profile.WriteString("URL", "URL" + n + "\\Password", Base64Encode("task-pw-" + tag));
        profile.WriteInt("URL", "URL" + n + "\\Enable Authentication", 1);
        profile.WriteString("Site", "Site" + n + "\\Host", "site-" + tag);
        profile.WriteString("Site", "Site" + n + "\\Password", Base64Encode("site-pw-" + tag));
        profile.WriteString("Proxy", "Proxy" + n + "\\Host", "proxy-" + tag);
        profile.WriteString("Proxy", "Proxy" + n + "\\Password", Base64Encode("proxy-pw-" + tag));
    }
}

// One list of the profile as a test removes its first row and reads the
// logins of the rows left (host or user, and password).
struct ListCase {
    const char* name;
    std::function<void(ProgramRun&)> removeFirst;
    std::function<std::vector<std::string>(ProgramRun&)> logins;
    const char* firstPassword;  // of the row removed
    std::vector<std::string> left;
};

const ListCase kLists[] = {
    {"tasks",
     [](ProgramRun& run) { run.table.Remove(0); },
     [](ProgramRun& run) {
         std::vector<std::string> logins;
         for (int row = 0; row < run.table.Count(); ++row) {
             const TaskRecord r = *run.table.CopyOut(row);
             logins.insert(logins.end(), {r.user, r.password});
         }
         return logins;
     },
     "task-pw-a",
     {"ub", "task-pw-b"}},
    {"sites",
     [](ProgramRun& run) { run.settings.sites.erase(run.settings.sites.begin()); },
     [](ProgramRun& run) {
         std::vector<std::string> logins;
         for (const SiteEntry& e : run.settings.sites) {
             logins.insert(logins.end(), {e.host, e.password});
         }
         return logins;
     },
     "site-pw-a",
     {"site-b", "site-pw-b"}},
    {"proxies",
     [](ProgramRun& run) { run.settings.proxies.erase(run.settings.proxies.begin()); },
     [](ProgramRun& run) {
         std::vector<std::string> logins;
         for (const ProxyEntry& e : run.settings.proxies) {
             logins.insert(logins.end(), {e.host, e.password});
         }
         return logins;
     },
     "proxy-pw-a",
     {"proxy-b", "proxy-pw-b"}},
};

bool KeyringHolds(const FakeSecrets& secrets, const std::string& secret)
{
    return std::any_of(secrets.held.begin(), secrets.held.end(),
                       [&](const auto& entry) { return entry.second == secret; });
}

// A row that leaves its list while the keyring is locked takes nothing
// with it: the rows below keep their own passwords once it opens again
// (they used to take the entry of the row that had been in their place),
// and the entry of the row that left goes from the keyring at the first
// save that can delete it.
TEST(PasswordKeyring, ARowLeavingWhileLockedTakesNoOtherRowsPassword)
{
    for (const ListCase& c : kLists) {
        SCOPED_TRACE(c.name);
        test::FakeProfile profile;
        FakeSecrets secrets;
        WriteTwoOfEach(profile);
        ASSERT_TRUE(ProgramRun(profile, secrets).Save());
        secrets.readable = secrets.writable = secrets.deletable = false;
        {
            ProgramRun locked(profile, secrets);
            c.removeFirst(locked);
            ASSERT_TRUE(locked.Save());
        }
        EXPECT_TRUE(KeyringHolds(secrets, c.firstPassword)) << "deleted although the keyring was locked?";
        secrets.readable = secrets.writable = secrets.deletable = true;
        ProgramRun next(profile, secrets);
        EXPECT_EQ(c.logins(next), c.left);
        ASSERT_TRUE(next.Save());
        EXPECT_FALSE(KeyringHolds(secrets, c.firstPassword));
        ProgramRun again(profile, secrets);
        EXPECT_EQ(c.logins(again), c.left);
    }
}

// With the keyring open, the entry of a row that leaves goes at the next
// save; the other rows' entries stay and are not written again.
TEST(PasswordKeyring, TheEntryOfARowThatLeftIsDeleted)
{
    for (const ListCase& c : kLists) {
        SCOPED_TRACE(c.name);
        test::FakeProfile profile;
        FakeSecrets secrets;
        WriteTwoOfEach(profile);
        ASSERT_TRUE(ProgramRun(profile, secrets).Save());
        const std::size_t entries = secrets.held.size();
        {
            ProgramRun run(profile, secrets);
            const int writes = secrets.writes;
            c.removeFirst(run);
            ASSERT_TRUE(run.Save());
            EXPECT_EQ(secrets.writes, writes);
        }
        EXPECT_FALSE(KeyringHolds(secrets, c.firstPassword));
        EXPECT_EQ(secrets.held.size(), entries - 1);
        ProgramRun again(profile, secrets);
        EXPECT_EQ(c.logins(again), c.left);
    }
}

// A profile saved before entries had identifiers: its markers name the
// entry by the row ("URL1\Password Keyring" and the entry
// "URL/URL1\Password"). Locked at start, a row leaves; the rows below
// still find their own entries, and once the keyring opens every entry
// moves to an identifier of its own and the row-named ones go.
TEST(PasswordKeyring, ProfilesMarkedByRowKeepWorkingAndMove)
{
    for (const ListCase& c : kLists) {
        SCOPED_TRACE(c.name);
        test::FakeProfile profile;
        FakeSecrets secrets;
        WriteTwoOfEach(profile);
        const std::pair<const char*, const char*> lists[] = {{"URL", "URL"}, {"Site", "Site"}, {"Proxy", "Proxy"}};
        for (const auto& [section, prefix] : lists) {
            for (int i = 0; i < 2; ++i) {
                const std::string name = prefix + std::to_string(i) + "\\Password";
                secrets.held[std::string(section) + "/" + name] = *Base64Decode(Stored(profile, section, name));
                profile.WriteString(section, name, "");
                profile.WriteInt(section, name + " Keyring", 1);
            }
        }
        secrets.readable = secrets.writable = secrets.deletable = false;
        {
            ProgramRun locked(profile, secrets);
            c.removeFirst(locked);
            ASSERT_TRUE(locked.Save());
        }
        secrets.readable = secrets.writable = secrets.deletable = true;
        ProgramRun next(profile, secrets);
        EXPECT_EQ(c.logins(next), c.left);
        ASSERT_TRUE(next.Save());
        for (const auto& [key, secret] : secrets.held) {
            EXPECT_EQ(key.find('\\'), std::string::npos) << key << " is still named by its row";
        }
        EXPECT_FALSE(KeyringHolds(secrets, c.firstPassword));
        ProgramRun again(profile, secrets);
        EXPECT_EQ(c.logins(again), c.left);
    }
}

}  // namespace
}  // namespace dromo
