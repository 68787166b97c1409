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
#include <memory>
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

void CURLHook::AddURLs(const QStringList& urls, const QDBusMessage& message)
{
    message.setDelayedReply(true);
    QDBusConnection bus = m_bus;
    DoneMany reply = [bus, message](const QStringList& refusals) mutable {
        bus.send(message.createReply(QVariant(refusals)));
    };
    if (urls.isEmpty()) {
        reply({});
        return;
    }
    if (m_handOverMany) {
        m_handOverMany(urls, std::move(reply));
        return;
    }
    // Each URL on its own, the answer once the last one was handled.
    struct Answers {
        QStringList refusals;
        qsizetype left;
        DoneMany done;
    };
    auto answers = std::make_shared<Answers>(Answers{QStringList(urls.size(), QString()), urls.size(), reply});
    for (qsizetype i = 0; i < urls.size(); ++i) {
        m_handOver(urls[i], [answers, i](const QString& refusal) {
            answers->refusals[i] = refusal;
            if (--answers->left == 0) {
                answers->done(answers->refusals);
            }
        });
    }
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
    // A command line's URLs go in a few AddURLs calls, so Dromo takes them
    // in one pass of its window and one save; the calls go out without
    // waiting for each answer, a bounded number in flight, and the answers
    // are read in the order of the URLs. A Dromo that does not know AddURLs
    // gets the URLs one AddURL call each.
    constexpr qsizetype kPerCall = 1000;
    constexpr int kWaitMs = 24 * 3600 * 1000;  // the Add URL sheet may be asking the user: wait long
    auto callOf = [](const QString& method, const QVariant& argument) {
        QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(CURLHook::kService),
                                                           QString::fromLatin1(CURLHook::kPath),
                                                           QString::fromLatin1(CURLHook::kService), method);
        call << argument;
        return call;
    };
    auto oneByOne = [&](const QStringList& urls) {
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
            pending.emplace_back(url, bus.asyncCall(callOf(QStringLiteral("AddURL"), url), kWaitMs));
            if (pending.size() >= kInFlight) {
                readOldest();
            }
        }
        while (!pending.empty()) {
            readOldest();
        }
    };
    std::deque<std::pair<QStringList, QDBusPendingCall>> batches;
    for (qsizetype first = 0; first < urls.size(); first += kPerCall) {
        const QStringList part = urls.mid(first, kPerCall);
        batches.emplace_back(part, bus.asyncCall(callOf(QStringLiteral("AddURLs"), part), kWaitMs));
    }
    for (auto& [part, call] : batches) {
        call.waitForFinished();
        const QDBusMessage reply = call.reply();
        const QDBusError::ErrorType error = call.error().type();
        if (reply.type() == QDBusMessage::ErrorMessage &&
            (error == QDBusError::UnknownMethod || error == QDBusError::UnknownInterface)) {
            oneByOne(part);
            continue;
        }
        const QStringList refusals = reply.arguments().value(0).toStringList();
        for (qsizetype i = 0; i < part.size(); ++i) {
            if (call.isError() || refusals.size() != part.size()) {
                result.errors << part[i] + QStringLiteral(": ") +
                                     (call.isError() ? call.error().message()
                                                     : QStringLiteral("Dromo's answer did not name every URL"));
            } else if (!refusals[i].isEmpty()) {
                result.errors << part[i] + QStringLiteral(": ") + refusals[i];
            }
        }
    }
    return result;
}

}  // namespace dromo
