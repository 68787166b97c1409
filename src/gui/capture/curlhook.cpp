#include "gui/capture/curlhook.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <deque>
#include <utility>

namespace dromo {

CURLHook::CURLHook(HandOver handOver, QDBusConnection bus, QObject* parent)
    : QObject(parent), m_handOver(std::move(handOver)), m_bus(std::move(bus))
{
    qDBusRegisterMetaType<Details>();
    OfferedLinkArgument::Register();
}

CURLHook::~CURLHook()
{
    if (m_ownsName) {
        m_bus.unregisterObject(QString::fromLatin1(kPath));
        m_bus.unregisterService(QString::fromLatin1(kService));
    }
}

bool CURLHook::Register()
{
    if (!m_bus.isConnected()) {
        return false;
    }
    if (!m_bus.registerObject(QString::fromLatin1(kPath), this, QDBusConnection::ExportScriptableSlots)) {
        return false;
    }
    m_ownsName = m_bus.registerService(QString::fromLatin1(kService));
    if (!m_ownsName) {
        m_bus.unregisterObject(QString::fromLatin1(kPath));
    }
    return m_ownsName;
}

CURLHook::Done CURLHook::ReplyTo(const QDBusMessage& message)
{
    // The answer waits until the window has handled the URL.
    message.setDelayedReply(true);
    QDBusConnection bus = m_bus;
    return [bus, message](const QString& refusal) mutable {
        bus.send(refusal.isEmpty() ? message.createReply()
                                   : message.createErrorReply(QString::fromLatin1(kRefused), refusal));
    };
}

void CURLHook::AddURL(const QString& url, const QDBusMessage& message)
{
    m_handOver(url, ReplyTo(message));
}

namespace {

DownloadDetails DetailsFrom(const QMap<QString, QString>& details)
{
    DownloadDetails d;
    d.cookie = details.value(QStringLiteral("cookie")).toStdString();
    d.cookieJar = details.value(QStringLiteral("cookieJar")).toStdString();
    d.referrer = details.value(QStringLiteral("referrer")).toStdString();
    d.userAgent = details.value(QStringLiteral("userAgent")).toStdString();
    d.fileName = details.value(QStringLiteral("fileName")).toStdString();
    d.mimeType = details.value(QStringLiteral("mimeType")).toStdString();
    bool sized = false;
    const qlonglong size = details.value(QStringLiteral("size")).toLongLong(&sized);
    d.size = sized && size >= 0 ? size : -1;
    return d;
}

}  // namespace

void CURLHook::AddDownload(const QString& url, const QMap<QString, QString>& details, const QDBusMessage& message)
{
    if (!m_handOverDownload) {
        m_handOver(url, ReplyTo(message));
        return;
    }
    const DownloadDetails d = DetailsFrom(details);
    // Refused before the window sees it: the Add URL sheet would otherwise
    // take the details into a task.
    if (const auto refusal = RefuseDetails(d)) {
        ReplyTo(message)(QString::fromLatin1(AddResultMessage(*refusal)));
        return;
    }
    m_handOverDownload(url, d, ReplyTo(message));
}

void CURLHook::AddDownloads(const QList<OfferedLinkArgument>& links, const QDBusMessage& message)
{
    std::vector<OfferedLink> offered;
    offered.reserve(static_cast<std::size_t>(links.size()));
    for (const OfferedLinkArgument& link : links) {
        offered.push_back(OfferedLink{link.url.toStdString(), DetailsFrom(link.details)});
    }
    const QString refusal = m_offerLinks ? m_offerLinks(std::move(offered)) : QString::fromLatin1(kNoLinksToOffer);
    message.setDelayedReply(true);  // the reply is this one, with or without an error
    m_bus.send(refusal.isEmpty() ? message.createReply()
                                 : message.createErrorReply(QString::fromLatin1(kRefused), refusal));
}

QString CURLHook::ServiceFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/dbus-1/services/") +
           QString::fromLatin1(kService) + QStringLiteral(".service");
}

bool CURLHook::WriteServiceFile(const QString& program)
{
    const QString path = ServiceFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QString text = QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 --automation\n")
                             .arg(QString::fromLatin1(kService), QFileInfo(program).absoluteFilePath());
    file.write(text.toUtf8());
    return file.commit();
}

namespace {

bool NameOwned(QDBusConnection& bus)
{
    return bus.interface() && bus.interface()->isServiceRegistered(QString::fromLatin1(CURLHook::kService));
}

}  // namespace

HandOverResult SendUrlsToRunningInstance(const QStringList& urls, int waitMs, QDBusConnection bus)
{
    HandOverResult result;
    if (!bus.isConnected()) {
        return result;
    }
    QDeadlineTimer deadline(waitMs);
    while (!NameOwned(bus)) {
        if (deadline.hasExpired()) {
            return result;
        }
        QThread::msleep(20);
    }
    result.answered = true;
    // The calls go out without waiting for each answer, so Dromo takes a
    // long list in a few saves; a bounded number is in flight at once, and
    // the answers are read in the order of the URLs.
    constexpr int kInFlight = 512;
    std::deque<std::pair<QString, QDBusPendingCall>> pending;
    auto readOldest = [&result, &pending] {
        auto& [url, call] = pending.front();
        call.waitForFinished();
        if (call.isError()) {
            result.errors << url + QStringLiteral(": ") + call.error().message();
        }
        pending.pop_front();
    };
    for (const QString& url : urls) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(CURLHook::kService), QString::fromLatin1(CURLHook::kPath),
            QString::fromLatin1(CURLHook::kService), QStringLiteral("AddURL"));
        call << url;
        // The Add URL sheet may be asking the user about it: wait long.
        pending.emplace_back(url, bus.asyncCall(call, 24 * 3600 * 1000));
        if (pending.size() >= kInFlight) {
            readOldest();
        }
    }
    while (!pending.empty()) {
        readOldest();
    }
    return result;
}

}  // namespace dromo
