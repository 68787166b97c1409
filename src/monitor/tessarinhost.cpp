#include "tessarinhost.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>

#include "capture/monitors.h"

namespace dromo {
namespace {

QByteArray Json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray Error(const QString& why)
{
    return Json(QJsonObject{{QStringLiteral("error"), why}});
}

QDBusConnection FreshSessionConnection()
{
    static std::atomic<int> count{0};
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                         QStringLiteral("tessarin%1").arg(++count));
}

}  // namespace

TessarinHost::TessarinHost(Profile& profile) : m_profile(profile) {}

TessarinHost::~TessarinHost() = default;

bool TessarinHost::StartWithBrowser()
{
    CaptureSwitches switches;
    switches.Read(m_profile, kClicksInChromium);
    return switches.startWithBrowser;
}

TessarinHost::Answer TessarinHost::Handle(const QByteArray& message)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(message, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        return {Error(QStringLiteral("not a JSON object")), {}};
    }
    const QJsonObject m = document.object();
    const QString monitor = m.value(QStringLiteral("monitor")).toString();
    const QString event = m.value(QStringLiteral("event")).toString();
    const std::string url = m.value(QStringLiteral("url")).toString().toStdString();
    const bool ctrl = m.value(QStringLiteral("ctrl")).toBool();

    if (monitor == QLatin1String("URLMonitor")) {
        if (!m_urlMonitor) {
            m_urlMonitor = std::make_unique<URLMonitor>(m_profile);
        }
        if (event == QLatin1String("BeforeNavigate2")) {
            const bool capture = m_urlMonitor->BeforeNavigate2(url, ctrl);
            return {Json({{QStringLiteral("capture"), capture}}), capture ? url : std::string()};
        }
        if (event == QLatin1String("StatusTextChange")) {
            const auto captured =
                m_urlMonitor->StatusTextChange(m.value(QStringLiteral("text")).toString().toStdString(), ctrl);
            return {Json({{QStringLiteral("capture"), captured.has_value()}}), captured.value_or(std::string())};
        }
        if (event == QLatin1String("OnQuit")) {
            m_urlMonitor->OnQuit();
            return {Json({}), {}};
        }
    } else if (monitor == QLatin1String("NVMonitor")) {
        if (!m_nvMonitor) {
            m_nvMonitor = std::make_unique<NVMonitor>(m_profile);
        }
        if (event == QLatin1String("Initialize")) {
            const bool capture =
                m_nvMonitor->Initialize(m.value(QStringLiteral("protocol")).toString().toStdString(), url);
            return {Json({{QStringLiteral("retVal"), capture ? 1 : 0}}), capture ? url : std::string()};
        }
        if (event == QLatin1String("Open")) {
            m_nvMonitor->Open(url);
            return {Json({}), {}};
        }
    }
    return {Error(QStringLiteral("unknown monitor or event")), {}};
}

void HandUrlToDromo(const std::string& url)
{
    QDBusConnection bus = FreshSessionConnection();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("DROMO.URLMonitor"), QStringLiteral("/URLMonitor"), QStringLiteral("DROMO.URLMonitor"),
            QStringLiteral("AddURL"));
        call << QString::fromStdString(url);
        // Dromo may be starting, or asking the user about the URL: wait.
        bus.call(call, QDBus::Block, 24 * 3600 * 1000);
    }
    QDBusConnection::disconnectFromBus(bus.name());
}

void StartDromo()
{
    QDBusConnection bus = FreshSessionConnection();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("StartServiceByName"));
        call << QStringLiteral("DROMO.URLMonitor") << 0u;
        bus.call(call, QDBus::Block, 60000);
    }
    QDBusConnection::disconnectFromBus(bus.name());
}

}  // namespace dromo
