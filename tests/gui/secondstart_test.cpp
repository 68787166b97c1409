// A second start while Dromo runs: its "Dromo already starts up." box holds
// nothing that a signal must wait for, so SIGTERM and Ctrl+C end it.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>

#include <chrono>
#include <csignal>
#include <thread>

#include "tests/support/testservers.h"

namespace dromo {
namespace {

TEST(SecondStart, ASignalEndsItWhileItsBoxIsUp)
{
    test::PrivateSessionBus bus;
    QDBusConnection connection =
        QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), QStringLiteral("secondstart"));
    QFile::remove(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini");
    test::ChildProcess first({DROMO_BIN});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!connection.interface()->isServiceRegistered(QStringLiteral("DROMO.URLMonitor"))) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the first Dromo did not start";
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (const int signal : {SIGTERM, SIGINT}) {
        test::ChildProcess second({DROMO_BIN});
        // The box is up well within this; the start does not end by itself.
        EXPECT_FALSE(second.Wait(1500).has_value()) << "the second start should wait for its box";
        EXPECT_EQ(second.Signal(signal, 5000), 128 + signal) << "signal " << signal;
    }
    EXPECT_TRUE(first.Running()) << "the first Dromo goes on";
    EXPECT_EQ(first.Terminate(10000), 0);
    QDBusConnection::disconnectFromBus(QStringLiteral("secondstart"));
}

}  // namespace
}  // namespace dromo
