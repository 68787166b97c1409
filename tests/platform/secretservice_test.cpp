// Passwords in a real gnome-keyring-daemon, unlocked on the test's own bus.

#include "platform/secretservice.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include "base/commands/taskadder.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "base/text/base64.h"
#include "platform/settingsprofile.h"
#include "tests/base/fakes/fakes.h"
#include "tests/base/fakes/rig.h"
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
    // Every Dromo entry as another program lists it, secrets included.
    static std::string AllEntries()
    {
        std::string output;
        test::RunCommand({"secret-tool", "search", "--all", "xdg:schema", "com.tarnwick.Dromo.Password"}, &output, "",
                         false);
        return output;
    }
    QDBusMessage CallService(const QString& method, const QVariantList& arguments,
                             const QString& interface = QStringLiteral("org.freedesktop.Secret.Service"))
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.secrets"), QStringLiteral("/org/freedesktop/secrets"), interface, method);
        call.setArguments(arguments);
        return m_bus->call(call);
    }
    // Locks the login keyring, as a screen lock or a fresh log-in without
    // the keyring's password leaves it; reading then fails.
    void LockKeyring()
    {
        const QDBusMessage reply =
            CallService(QStringLiteral("Lock"),
                        {QVariant::fromValue(QList<QDBusObjectPath>{QDBusObjectPath(QString::fromLatin1(kLogin))})});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    // Unlocks it with its password, as the user does at the desktop's prompt.
    void UnlockKeyring()
    {
        const QDBusMessage opened = CallService(
            QStringLiteral("OpenSession"), {QStringLiteral("plain"), QVariant::fromValue(QDBusVariant(QString()))});
        ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << opened.errorMessage().toStdString();
        QDBusArgument secret;
        secret.beginStructure();
        secret << opened.arguments().at(1).value<QDBusObjectPath>() << QByteArray() << QByteArray("test-password")
               << QStringLiteral("text/plain");
        secret.endStructure();
        const QDBusMessage reply = CallService(
            QStringLiteral("UnlockWithMasterPassword"),
            {QVariant::fromValue(QDBusObjectPath(QString::fromLatin1(kLogin))), QVariant::fromValue(secret)},
            QStringLiteral("org.gnome.keyring.InternalUnsupportedGuiltRiddenInterface"));
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }

    static constexpr const char* kLogin = "/org/freedesktop/secrets/collection/login";

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
    {
        SettingsProfile profile(QString::fromStdString(ini));
        EXPECT_EQ(Lookup("Settings/" + profile.GetString("Settings", "Password Keyring Id", "")), "ftp-secret");
        EXPECT_EQ(Lookup("Proxy/" + profile.GetString("Proxy", "Proxy0\\Password Keyring Id", "")), "proxy-secret");
    }

    SettingsProfile profile(QString::fromStdString(ini));
    SettingsStore store(profile, PlatformDefaults{"/dl/", "/share/"});
    PasswordKeyring keyring(secrets);
    store.UseKeyring(&keyring);
    EXPECT_EQ(store.LoadOptions().password, "ftp-secret");
    EXPECT_EQ(store.LoadProxies().at(0).password, "proxy-secret");
}

// One run of the program over the profile file and the real keyring: the
// settings and the saved tasks loaded as at start.
struct ProgramRun {
    SettingsProfile profile;
    SecretService secrets;
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

    explicit ProgramRun(const std::string& ini) : profile(QString::fromStdString(ini))
    {
        store.UseKeyring(&keyring);
        store.Load(settings, adder, network);
    }
    std::vector<std::string> Logins() const
    {
        std::vector<std::string> logins;
        for (int row = 0; row < table.Count(); ++row) {
            const TaskRecord r = *table.CopyOut(row);
            logins.insert(logins.end(), {r.user, r.password});
        }
        return logins;
    }
    bool Save() { return store.Save(settings, table).Ok(); }
};

// The keyring is locked at start and a task leaves the list (deleted, or
// finished with "Delete from List if Done"). Once the keyring opens again,
// the task below it still logs in with its own password, not the one that
// left, and the entry of the task that left is deleted.
TEST_F(Keyring, ATaskLeavingWhileLockedTakesNoOtherTasksPassword)
{
    test::TempDir dir;
    const std::string ini = dir.File("Dromo.ini");
    {
        SettingsProfile profile(QString::fromStdString(ini));
        profile.WriteInt("Settings", "MRU Num", 2);
        for (const std::string tag : {"a", "b"}) {
            const std::string n = tag == "a" ? "0" : "1";
            profile.WriteString("URL", "URL" + n + "\\Target", "ftp://127.0.0.1/" + tag + ".zip");
            profile.WriteString("URL", "URL" + n + "\\Username", "u" + tag);
            profile.WriteString("URL", "URL" + n + "\\Password", Base64Encode("task-pw-" + tag));
            profile.WriteInt("URL", "URL" + n + "\\Enable Authentication", 1);
        }
        ASSERT_TRUE(profile.Flush());
    }
    ASSERT_TRUE(ProgramRun(ini).Save());  // the passwords move to the keyring
    ASSERT_NE(AllEntries().find("task-pw-a"), std::string::npos);

    LockKeyring();
    {
        ProgramRun locked(ini);
        EXPECT_EQ(locked.Logins(), (std::vector<std::string>{"ua", "", "ub", ""}));
        ASSERT_TRUE(locked.table.Remove(0));
        ASSERT_TRUE(locked.Save());
    }
    UnlockKeyring();
    // The locked keyring would not delete the entry of the task that left.
    EXPECT_NE(AllEntries().find("task-pw-a"), std::string::npos);

    ProgramRun next(ini);
    EXPECT_EQ(next.Logins(), (std::vector<std::string>{"ub", "task-pw-b"}));
    ASSERT_TRUE(next.Save());
    const std::string entries = AllEntries();
    EXPECT_EQ(entries.find("task-pw-a"), std::string::npos) << entries;
    EXPECT_NE(entries.find("task-pw-b"), std::string::npos) << entries;
    const std::string file = test::ReadFile(ini);
    EXPECT_EQ(file.find(Base64Encode("task-pw-b")), std::string::npos) << file;
}

// A run that starts with the keyring locked reads the tasks' passwords as
// "" and keeps their entries. While it stays locked no task logs in
// without its password: it is paused and says why, and nothing is sent.
// Another task leaves the list meanwhile ("Delete from List if Done"), so
// the one left moves up a row. Once the keyring opens, the task logs in
// with its own password in the same run.
TEST_F(Keyring, APasswordReadWhileLockedIsAskedForAgainOnceTheKeyringOpens)
{
    test::TempDir dir;
    const std::string ini = dir.File("Dromo.ini");
    {
        SettingsProfile profile(QString::fromStdString(ini));
        profile.WriteInt("Settings", "MRU Num", 2);
        profile.WriteInt("Settings", "Delete from List if Done", 1);
        for (const std::string tag : {"a", "b"}) {
            const std::string n = tag == "a" ? "0" : "1";
            profile.WriteString("URL", "URL" + n + "\\Target", "http://127.0.0.1/" + tag + ".zip");
            profile.WriteString("URL", "URL" + n + "\\SaveTo", "/dl/" + tag + ".zip");
            profile.WriteString("URL", "URL" + n + "\\Username", "u" + tag);
            profile.WriteString("URL", "URL" + n + "\\Password", Base64Encode("task-pw-" + tag));
            profile.WriteInt("URL", "URL" + n + "\\Enable Authentication", 1);
        }
        ASSERT_TRUE(profile.Flush());
    }
    ASSERT_TRUE(ProgramRun(ini).Save());  // the passwords move to the keyring
    LockKeyring();

    SettingsProfile profile(QString::fromStdString(ini));
    SecretService secrets;
    PasswordKeyring keyring(secrets);
    SettingsStore store(profile, PlatformDefaults{"/dl/", "/share/"});
    store.UseKeyring(&keyring);
    test::Rig rig;  // its workers end before the keyring goes
    rig.pool.UseKeyring(&keyring);
    test::FakeNetwork network;
    store.Load(rig.settings, rig.adder, network);
    ASSERT_EQ(rig.table.Count(), 2);
    const TaskId a = rig.table.TaskIdAt(0);
    const TaskId b = rig.table.TaskIdAt(1);

    rig.commands.Resume({b});
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_TRUE(rig.engines.script.Transfers().empty()) << rig.engines.script.Transfers().front();
    EXPECT_NE(rig.Task(1).failure.find("keyring"), std::string::npos) << rig.Task(1).failure;
    EXPECT_EQ(rig.Row(1).texts[kColStatus], rig.Task(1).failure);

    // The first task finishes (its file already there) and leaves the list
    // while the keyring is locked.
    rig.table.Update(a, [](TaskRecord& r) { r.SetState(TaskState::Done); });
    rig.commands.RemoveTaskRow(a, false);
    ASSERT_EQ(rig.table.Count(), 1);
    ASSERT_TRUE(store.Save(rig.settings, rig.table).Ok());

    UnlockKeyring();
    rig.commands.Resume({b});
    ASSERT_TRUE(rig.WaitUntil([&rig] { return rig.table.Count() == 0; }));  // done, and gone from the list
    EXPECT_EQ(rig.engines.script.Transfers(),
              std::vector<std::string>{"HttpGet 127.0.0.1/b.zip /dl/b.zip ub:task-pw-b"});
}

}  // namespace
}  // namespace dromo
