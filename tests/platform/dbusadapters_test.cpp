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

#include "platform/logindpower.h"
#include "platform/networkmanagernetwork.h"
#include "tests/platform/mockbus.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

class Bus : public test::MockBus {
protected:
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
};

TEST_F(Bus, PowerOffAsksLogindAndAFailureIsQuiet)
{
    test::TempDir dir;
    const std::string log = dir.File("calls.log");
    LogindPower power(*m_bus);
    EXPECT_FALSE(power.PowerOff());  // no logind at all
    Mock("logind", QStringLiteral("org.freedesktop.login1"), {"-l", log});
    EXPECT_TRUE(power.PowerOff());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (test::ReadFile(log).find("PowerOff False") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
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
