#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMap>
#include <QObject>
#include <functional>

#include <vector>

#include "base/capture/linkchoice.h"
#include "base/commands/taskadder.h"
#include "platform/offeredlinkargument.h"

namespace dromo {

// The capture object on the session bus: name DROMO.URLMonitor, object
// /URLMonitor, interface DROMO.URLMonitor, methods AddURL(s), AddURLs(as)
// (many URLs in one call, answered with one refusal text per URL, "" for
// each taken), and AddDownload(s url, a{ss} details) for a browser's download with what the
// browser knew of it (keys "cookie", "cookieJar", "referrer", "userAgent",
// "fileName", "mimeType", "size"; others are ignored), and
// AddDownloads(a(sa{ss})) for a page's links, each with its details, for the
// user to pick from. The
// caller's reply to AddURL and AddDownload is sent once the window has
// handled the URL: at once for a quick add (the task saved first), after
// the Add URL sheet closed when it asks. AddDownloads is answered as soon as
// the links are known to be worth a list, before the user sees it. A refused
// URL, or a page none of whose links can be offered, gets an error reply
// (kRefused) with the text of the refusal.
class CURLHook : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "DROMO.URLMonitor")
public:
    static constexpr const char* kService = "DROMO.URLMonitor";
    static constexpr const char* kPath = "/URLMonitor";
    static constexpr const char* kRefused = "DROMO.URLMonitor.Refused";

    // `handOver` takes a URL and calls `done` once it has been handled, with
    // an empty text when it was taken, else with what refused it.
    using Done = std::function<void(const QString& refusal)>;
    using HandOver = std::function<void(const QString& url, Done done)>;
    using HandOverDownload = std::function<void(const QString& url, const DownloadDetails& details, Done done)>;
    // Takes URLs together and calls `done` once all were handled, with the
    // refusals in their order ("" for each taken).
    using DoneMany = std::function<void(const QStringList& refusals)>;
    using HandOverMany = std::function<void(const QStringList& urls, DoneMany done)>;
    using Details = QMap<QString, QString>;
    // Takes a page's links for the user to pick from later; "" when they
    // will be shown, else what refused them.
    using OfferLinks = std::function<QString(std::vector<OfferedLink> links)>;

    CURLHook(HandOver handOver, QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~CURLHook() override;

    // Takes the name and publishes the object. A name already owned by
    // another Dromo is not reported: the first instance serves every client.
    bool Register();
    // Where AddDownload goes; without one it is handed over as AddURL is.
    void SetDownloadHandOver(HandOverDownload handOver) { m_handOverDownload = std::move(handOver); }
    // Where AddURLs goes; without one each URL is handed over as AddURL is.
    void SetUrlsHandOver(HandOverMany handOver) { m_handOverMany = std::move(handOver); }
    // Where AddDownloads goes; without one it is refused.
    void SetLinksOffer(OfferLinks offer) { m_offerLinks = std::move(offer); }

    // The D-Bus service file that lets a call start Dromo ("--automation").
    static QString ServiceFilePath();
    static bool WriteServiceFile(const QString& program);

public slots:
    Q_SCRIPTABLE void AddURL(const QString& url, const QDBusMessage& message);
    Q_SCRIPTABLE void AddURLs(const QStringList& urls, const QDBusMessage& message);
    Q_SCRIPTABLE void AddDownload(const QString& url, const QMap<QString, QString>& details,
                                  const QDBusMessage& message);
    Q_SCRIPTABLE void AddDownloads(const QList<dromo::OfferedLinkArgument>& links, const QDBusMessage& message);

private:
    Done ReplyTo(const QDBusMessage& message);

    HandOver m_handOver;
    HandOverDownload m_handOverDownload;
    HandOverMany m_handOverMany;
    OfferLinks m_offerLinks;
    QDBusConnection m_bus;
    bool m_ownsName = false;
};

// What became of URLs handed to a running Dromo.
struct HandOverResult {
    bool answered = false;  // a Dromo owned the name (and so took the URLs)
    QStringList errors;     // "URL: why", one for each URL it refused or lost
};

// Hands URLs to a running Dromo through its capture object, many in one
// AddURLs call (one by one to a Dromo that does not know it). With `waitMs`,
// first waits that long for the name to be owned: a Dromo that holds the
// instance lock may still be starting.
HandOverResult SendUrlsToRunningInstance(const QStringList& urls, int waitMs = 0,
                                         QDBusConnection bus = QDBusConnection::sessionBus());

}  // namespace dromo
