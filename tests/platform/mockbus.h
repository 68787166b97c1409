#pragma once

// A private session bus for each test, with python3-dbusmock services on it.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "tests/support/testservers.h"

namespace dromo::test {

class MockBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_daemon = std::make_unique<PrivateSessionBus>();
        m_address = m_daemon->Address();
        m_name = QStringLiteral("test%1").arg(++s_connections);
        m_bus =
            std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(QString::fromStdString(m_address), m_name));
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
        std::vector<std::string> argv{"--template", templ};
        argv.insert(argv.end(), extra.begin(), extra.end());
        MockService(argv, service);
    }
    // Starts dbusmock with these arguments and waits for the name.
    void MockService(const std::vector<std::string>& args, const QString& service)
    {
        std::vector<std::string> argv{"/usr/bin/python3", "-m", "dbusmock", "--session"};
        argv.insert(argv.end(), args.begin(), args.end());
        m_mock = std::make_unique<ChildProcess>(argv);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!m_bus->interface()->isServiceRegistered(service)) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << service.toStdString() << " did not start";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    // Runs the event loop until the condition holds; false when it did not
    // within a generous bound (a hang, not a slow machine).
    static bool WaitFor(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    std::unique_ptr<PrivateSessionBus> m_daemon;
    std::unique_ptr<ChildProcess> m_mock;
    std::unique_ptr<QDBusConnection> m_bus;
    std::string m_address;
    QString m_name;
    static inline int s_connections = 0;
};

}  // namespace dromo::test
