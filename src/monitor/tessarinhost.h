#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dromo {

class NVMonitor;
class Profile;
class URLMonitor;

// What goes to Dromo for one captured download: the URL, and what the
// browser knows about it (cookie, cookieJar, referrer, userAgent, fileName,
// mimeType, size), each optional.
struct HandOver {
    std::string url;
    std::map<std::string, std::string> details;
};

// One browser's capture monitor: answers the extension's messages by the
// capture rules and hands captured URLs to Dromo.
//
// Messages (JSON objects), each answered by one frame:
//   {"monitor":"URLMonitor","event":"BeforeNavigate2","url":U,"ctrl":B}  -> {"capture":B}
//   {"monitor":"URLMonitor","event":"StatusTextChange","text":T,"ctrl":B} -> {"capture":B}
//   {"monitor":"URLMonitor","event":"OnQuit"}                             -> {}
//   {"monitor":"NVMonitor","event":"Initialize","protocol":P,"url":U}     -> {"retVal":0|1}
//   {"monitor":"NVMonitor","event":"Open","url":U}                        -> {}
//   {"monitor":M,"event":"Switches"} -> {"clicks":B,"allFtp":B,"fileTypes":[...]}
//   {"monitor":M,"event":"Deliver"|"Cancel","id":I}                       -> {"id":I}
//   {"monitor":M,"event":"AddDownload","url":U,"details":D}               -> {"taken":B}
//   {"monitor":M,"event":"AddDownloads","details":D,"cookies":[C...],"cookieJars":[J...],
//    "links":[{"url":U,"fileName":F,"cookie":N,"cookieJar":N}...]}       -> {"taken":B,"links":N}
// Optional in the three deciding events: "id" (number or string, echoed in
// the answer), "method" (the request's; anything but GET is not captured),
// "url" beside the status text, and "details" {cookie, cookieJar, referrer,
// userAgent, fileName, mimeType, size}. "cookieJar" is the cookies the
// browser would send to the URL's site and its redirects, as lines of
// libcurl's cookie file (CookieJar): a jar that is not one (too long, a
// carriage return or another control character, a line that is no cookie)
// is answered {"error":WHY} and nothing is captured or handed over. On the download path a URL that hides its type
// is judged by details.fileName. Nothing is captured that Dromo could not
// take now, nor a URL other than http, https or ftp. A URL's fragment is no
// part of the request: the rules judge, and Dromo gets, the URL without it.
//
// AddDownload and AddDownloads are the user's own choice (the extension's
// menus), so no capture rule applies: they are handed over at once, without
// waiting for a word from the extension, whenever Dromo can take them
// ("taken"). AddDownloads offers a page's links for the user to pick from in
// Dromo: "details" holds what they share (referrer, userAgent), each link
// its own file name and the indexes of its Cookie header in "cookies" and
// of its cookie jar in "cookieJars".
//
// Frames that carry an "id" are answered with it, and a capture they cause
// is held until the extension confirms it took the download from the browser
// ("Deliver") or says it gave up ("Cancel"): a hand-over the browser kept is
// never delivered as well. Frames without an id are handed over at once.
class TessarinHost {
public:
    // Whether Dromo can take a hand-over now (it owns its bus name, or the
    // bus can start it). Without Dromo the browser keeps the download.
    using Reachable = std::function<bool()>;

    TessarinHost(Profile& profile, Reachable dromoReachable);
    ~TessarinHost();

    // The reply to one message, and the hand-over to make now, if any.
    struct Answer {
        QByteArray reply;
        std::optional<HandOver> handOver;
        std::vector<HandOver> links;  // a page's links for Dromo to offer
    };
    Answer Handle(const QByteArray& message);

    // Monitor creation: with "Start with Browser" on, Dromo is started now.
    bool StartWithBrowser();

    // A held capture nobody confirmed within this time is forgotten.
    static constexpr std::chrono::seconds kHoldFor{60};

private:
    struct Held {
        HandOver handOver;
        std::chrono::steady_clock::time_point since;
    };
    struct Request;

    Answer Settle(const QString& event, const std::string& idKey, const QJsonValue& id);
    // The menus' hand-overs; nothing for another event.
    std::optional<Answer> Offer(const QJsonObject& message, const QString& event, const QJsonValue& id);
    // The reply to an event of each monitor; nothing for an unknown event.
    std::optional<QJsonObject> AskUrlMonitor(Request& request);
    std::optional<QJsonObject> AskNvMonitor(Request& request);

    Profile& m_profile;
    Reachable m_dromoReachable;
    std::unique_ptr<URLMonitor> m_urlMonitor;
    std::unique_ptr<NVMonitor> m_nvMonitor;
    std::map<std::string, Held> m_held;
};

// Hands a download to Dromo over a fresh session-bus connection: AddDownload
// when there are details (AddURL when that Dromo has no AddDownload), AddURL
// otherwise. D-Bus activation starts Dromo when it is not running. Bounded:
// a Dromo that keeps the call (asking the user) has it all the same.
// Failures are dropped without a word, as the browser must not be disturbed.
void HandToDromo(const HandOver& handOver);
// Offers a page's links to Dromo (AddDownloads), as HandToDromo hands one.
void OfferLinksToDromo(const std::vector<HandOver>& links);
// Quick and bounded: Dromo owns DROMO.URLMonitor or the bus can activate it.
bool DromoReachable();
// Asks the bus to start Dromo (for "Start with Browser").
void StartDromo();

}  // namespace dromo
