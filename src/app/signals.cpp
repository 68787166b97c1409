#include "app/signals.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace dromo {
namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

void CatchSignals(bool caught)
{
    std::signal(SIGTERM, caught ? OnSignal : SIG_DFL);
    std::signal(SIGINT, caught ? OnSignal : SIG_DFL);
}

}  // namespace

EndSignals::EndSignals() : m_caught(::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0)
{
    if (m_caught) {
        CatchSignals(true);
    }
}

void EndSignals::LeaveToTheSystem()
{
    CatchSignals(false);
    char byte = 0;
    while (::recv(g_signalPipe[0], &byte, 1, MSG_DONTWAIT) == 1) {
        std::raise(byte);
    }
}

void EndSignals::CatchAgain()
{
    if (m_caught) {
        CatchSignals(true);
    }
}

void EndSignals::EndSessionOn(QObject* receiver, const std::function<void()>& endSession)
{
    if (m_caught) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, receiver, endSession);
    }
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, receiver,
                     [endSession](QSessionManager&) { endSession(); });
}

}  // namespace dromo
