#include "base/core/passwordkeyring.h"

#include <gtest/gtest.h>

#include "base/core/base64.h"
#include "base/core/settingsstore.h"
#include "base/core/tasktable.h"
#include "base/mainwindow/taskadder.h"
#include "tests/base/fakes/fakeprofile.h"
#include "tests/base/fakes/fakes.h"

namespace dromo {
namespace {

// A keyring that may refuse to write or to read, as a missing or locked one does.
struct FakeSecrets : SecretStore {
    std::map<std::string, std::string> held;
    bool writable = true;
    bool readable = true;
    int writes = 0;
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
    EXPECT_EQ(secrets.held["Site/Site0\\Password"], "site-pass");
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
    EXPECT_EQ(secrets.held["Proxy/Proxy0\\Password"], "new-proxy-pass");
    EXPECT_EQ(ProgramRun(profile, secrets).Passwords(),
              (std::vector<std::string>{kDefaultPassword, "task-pass", "", "new-proxy-pass"}));
}

}  // namespace
}  // namespace dromo
