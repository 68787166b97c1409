// The D-Bus adapters against python3-dbusmock's logind and NetworkManager
// templates, on a private session bus that each test starts and stops.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QThread>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "logindpower.h"
#include "networkmanagernetwork.h"
#include "testservers.h"

namespace dromo {
namespace {

class Bus : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_daemon = std::make_unique<test::PrivateSessionBus>();
        m_address = m_daemon->Address();
        m_name = QStringLiteral("test%1").arg(++s_connections);
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(m_address), m_name));
        ASSERT_TRUE(m_bus->isConnected());
    }
    void TearDown() override
    {
        m_mock.reset();
        m_bus.reset();
        QDBusConnection::disconnectFromBus(m_name);
        m_daemon.reset();
    }

    // Starts a dbusmock template and waits for its name on the bus.
    void Mock(const std::string& templ, const QString& service, const std::vector<std::string>& extra = {})
    {
        std::vector<std::string> argv{"/usr/bin/python3", "-m", "dbusmock", "--session", "--template", templ};
        argv.insert(argv.end(), extra.begin(), extra.end());
        m_mock = std::make_unique<test::ChildProcess>(argv);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!m_bus->interface()->isServiceRegistered(service)) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << templ << " did not start";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    std::string Nm(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv{"/usr/bin/python3", std::string(DROMO_TEST_SUPPORT_DIR) + "/nmstate.py"};
        argv.insert(argv.end(), args.begin(), args.end());
        std::string output;
        EXPECT_EQ(test::RunCommand(argv, &output), 0) << output;
        while (!output.empty() && output.back() == '\n') {
            output.pop_back();
        }
        return output;
    }

    std::unique_ptr<test::PrivateSessionBus> m_daemon;
    std::unique_ptr<test::ChildProcess> m_mock;
    std::unique_ptr<QDBusConnection> m_bus;
    std::string m_address;
    QString m_name;
    static inline int s_connections = 0;
};

TEST_F(Bus, PowerOffAsksLogindAndAFailureIsQuiet)
{
    test::TempDir dir;
    const std::string log = dir.File("calls.log");
    LogindPower power(*m_bus);
    EXPECT_FALSE(power.PowerOff());  // no logind at all
    Mock("logind", QStringLiteral("org.freedesktop.login1"), {"-l", log});
    EXPECT_TRUE(power.PowerOff());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_NE(test::ReadFile(log).find("PowerOff False"), std::string::npos) << test::ReadFile(log);
}

TEST_F(Bus, WithoutNetworkManagerTheMachineIsOnlineWithoutAModem)
{
    NetworkManagerNetwork network(*m_bus);
    const ConnectionState state = network.GetConnectedState();
    EXPECT_TRUE(state.connected);
    EXPECT_FALSE(state.modem);
    EXPECT_FALSE(network.Dial());
    EXPECT_FALSE(network.HangUp());
}

TEST_F(Bus, ModemConnectionsAreRecognisedDialledAndHungUp)
{
    Mock("networkmanager", QStringLiteral("org.freedesktop.NetworkManager"));
    NetworkManagerNetwork network(*m_bus);
    EXPECT_FALSE(network.GetConnectedState().modem);  // nothing active yet

    Nm({"connect", "gsm"});
    ConnectionState state = network.GetConnectedState();
    EXPECT_TRUE(state.connected);
    EXPECT_TRUE(state.modem);

    // The line drops: still a modem machine, now offline; dialling brings
    // the same connection up again, hanging up takes it down.
    Nm({"drop"});
    state = network.GetConnectedState();
    EXPECT_FALSE(state.connected);
    EXPECT_TRUE(state.modem);
    EXPECT_TRUE(network.Dial());
    EXPECT_TRUE(network.HangUp());
    EXPECT_FALSE(network.HangUp());  // nothing up any more
}

TEST_F(Bus, AnEthernetConnectionIsNoModem)
{
    Mock("networkmanager", QStringLiteral("org.freedesktop.NetworkManager"));
    NetworkManagerNetwork network(*m_bus);
    Nm({"connect", "802-3-ethernet"});
    const ConnectionState state = network.GetConnectedState();
    EXPECT_TRUE(state.connected);
    EXPECT_FALSE(state.modem);
    EXPECT_FALSE(network.Dial());
}

}  // namespace
}  // namespace dromo
