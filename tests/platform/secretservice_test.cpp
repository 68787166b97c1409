// Passwords in a real gnome-keyring-daemon, unlocked on the test's own bus.

#include "platform/secretservice.h"

#include <gtest/gtest.h>

#include "base/core/base64.h"
#include "base/core/settingsstore.h"
#include "platform/settingsprofile.h"
#include "tests/platform/mockbus.h"

namespace dromo {
namespace {

class Keyring : public test::MockBus {
protected:
    void SetUp() override
    {
        test::MockBus::SetUp();
        // Its keyrings go to the test's fresh data folder; the password on
        // standard input creates and unlocks the login keyring.
        m_daemon2 = std::make_unique<test::ChildProcess>(std::vector<std::string>{
            "/bin/sh", "-c",
            "printf test-password | exec gnome-keyring-daemon --foreground --unlock --components=secrets"});
        ASSERT_TRUE(WaitFor([this] {
            return m_bus->interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value();
        }));
    }
    void TearDown() override
    {
        m_daemon2.reset();
        test::MockBus::TearDown();
    }
    // What another program (secret-tool) finds under the key; "" for nothing.
    static std::string Lookup(const std::string& key)
    {
        std::string output;
        test::RunCommand({"secret-tool", "lookup", "key", key}, &output, "", false);
        return output;
    }

    std::unique_ptr<test::ChildProcess> m_daemon2;
};

// Secrets go in and come back unchanged, visible to other Secret Service
// clients; a profile's passwords move there at the first save and the
// profile file no longer holds them.
TEST_F(Keyring, RoundTripAndMigrationOfAProfile)
{
    SecretService secrets;
    const std::string odd = "pä ss \"word\" \\ ;=";
    EXPECT_TRUE(secrets.Write("Site/Site9\\Password", odd));
    EXPECT_EQ(secrets.Read("Site/Site9\\Password"), odd);
    EXPECT_EQ(Lookup("Site/Site9\\Password"), odd);
    EXPECT_TRUE(secrets.Write("Site/Site9\\Password", "second"));
    EXPECT_EQ(secrets.Read("Site/Site9\\Password"), "second");
    EXPECT_EQ(secrets.Read("Site/Nothing"), std::nullopt);

    test::TempDir dir;
    const std::string ini = dir.File("Dromo.ini");
    {
        SettingsProfile profile(QString::fromStdString(ini));
        profile.WriteString("Settings", "Password", Base64Encode("ftp-secret"));
        profile.WriteInt("Settings", "Proxy Num", 1);
        profile.WriteString("Proxy", "Proxy0\\Host", "proxy.example");
        profile.WriteString("Proxy", "Proxy0\\Password", Base64Encode("proxy-secret"));
        ASSERT_TRUE(profile.Flush());
    }
    {
        SettingsProfile profile(QString::fromStdString(ini));
        SettingsStore store(profile, PlatformDefaults{"/dl/", "/share/"});
        PasswordKeyring keyring(secrets);
        store.UseKeyring(&keyring);
        const GlobalOptions options = store.LoadOptions();
        const ProxyList proxies = store.LoadProxies();
        EXPECT_EQ(options.password, "ftp-secret");
        ASSERT_EQ(proxies.size(), 1u);
        EXPECT_EQ(proxies[0].password, "proxy-secret");
        store.SaveOptions(options, 0);
        store.SaveProxies(proxies);
        ASSERT_TRUE(profile.Flush());
    }
    const std::string file = test::ReadFile(ini);
    EXPECT_EQ(file.find(Base64Encode("ftp-secret")), std::string::npos) << file;
    EXPECT_EQ(file.find(Base64Encode("proxy-secret")), std::string::npos) << file;
    EXPECT_EQ(Lookup("Settings/Password"), "ftp-secret");
    EXPECT_EQ(Lookup("Proxy/Proxy0\\Password"), "proxy-secret");

    SettingsProfile profile(QString::fromStdString(ini));
    SettingsStore store(profile, PlatformDefaults{"/dl/", "/share/"});
    PasswordKeyring keyring(secrets);
    store.UseKeyring(&keyring);
    EXPECT_EQ(store.LoadOptions().password, "ftp-secret");
    EXPECT_EQ(store.LoadProxies().at(0).password, "proxy-secret");
}

}  // namespace
}  // namespace dromo
