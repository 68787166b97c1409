#include "monitor/tessarinhost.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <atomic>

#include "base/capture/monitors.h"
#include "base/commands/taskadder.h"
#include "base/text/cookiejar.h"
#include "base/text/parseurl.h"
#include "base/text/textutil.h"
#include "platform/offeredlinkargument.h"

namespace dromo {
namespace {

constexpr const char* kDromoName = "DROMO.URLMonitor";
// Long enough for Dromo to start by activation; a Dromo that asks the user
// about the URL has been given it by then, so nothing is lost by giving up.
constexpr int kHandOverTimeoutMs = 30000;
// The browser is waiting on the answer that this check is part of.
constexpr int kReachableTimeoutMs = 500;

// What Dromo takes in one AddDownloads.
constexpr qsizetype kMostLinks = 10000;

// The details Dromo knows, and the most of each that is passed on.
const char* const kDetailKeys[] = {"cookie", "referrer", "userAgent", "fileName", "mimeType", "size"};
constexpr qsizetype kDetailLimit = 64 * 1024;

QByteArray Json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray Error(const QString& why, const QJsonValue& id = QJsonValue())
{
    QJsonObject reply{{QStringLiteral("error"), why}};
    if (!id.isUndefined() && !id.isNull()) {
        reply.insert(QStringLiteral("id"), id);
    }
    return Json(reply);
}

QDBusConnection FreshSessionConnection()
{
    static std::atomic<int> count{0};
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("tessarin%1").arg(++count));
}

bool WebOrFtp(const std::string& url)
{
    const std::string lower = FoldCase(url);
    return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0 || lower.rfind("ftp://", 0) == 0 ||
           lower.rfind("ftps://", 0) == 0;
}

// True when the URL says nothing about the file's type: it carries a query
// ("?", "=" or "&"), or its last path part has no extension of letters and
// digits (/download/12345, /get/). Only such a URL may be judged by the name
// the browser settled on.
bool UrlHidesType(const std::string& url)
{
    if (url.find_first_of("?=&") != std::string::npos) {
        return true;
    }
    std::string path = url;
    const std::size_t scheme = path.find("://");
    if (scheme != std::string::npos) {
        const std::size_t slash = path.find('/', scheme + 3);
        path = slash == std::string::npos ? std::string() : path.substr(slash);
    }
    path = path.substr(0, path.find('#'));
    const std::string last = path.substr(path.rfind('/') + 1);
    const std::size_t dot = last.rfind('.');
    if (dot == std::string::npos || dot + 1 == last.size()) {
        return true;
    }
    for (std::size_t i = dot + 1; i < last.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(last[i]))) {
            return true;
        }
    }
    return false;
}

// The text before any "#": a URL's fragment never reaches the server.
std::string WithoutFragment(const std::string& url)
{
    return url.substr(0, url.find('#'));
}

std::map<std::string, std::string> Details(const QJsonObject& given)
{
    std::map<std::string, std::string> details;
    for (const char* key : kDetailKeys) {
        const QJsonValue value = given.value(QLatin1String(key));
        QString text;
        if (value.isString()) {
            text = value.toString();
        } else if (value.isDouble() && value.toDouble() >= 0) {
            text = QString::number(static_cast<qint64>(value.toDouble()));
        }
        if (!text.isEmpty() && text.size() <= kDetailLimit) {
            details[key] = text.toStdString();
        }
    }
    // The cookie jar is passed on whole or refused (JarRefusal), never cut
    // short: a part of a site's cookies may be no session at all.
    if (const QString jar = given.value(QStringLiteral("cookieJar")).toString(); !jar.isEmpty()) {
        details["cookieJar"] = jar.toStdString();
    }
    return details;
}

// Whether Dromo takes this hand-over, by the rules it refuses one with:
// asked before the browser is told to let go of a download, since a
// refusal comes only after the browser has dropped its copy.
bool DromoWouldTake(const std::string& url, const std::map<std::string, std::string>& details)
{
    auto detail = [&details](const char* key) {
        const auto found = details.find(key);
        return found == details.end() ? std::string() : found->second;
    };
    DownloadDetails sent;
    sent.cookie = detail("cookie");
    sent.referrer = detail("referrer");
    sent.userAgent = detail("userAgent");
    if (RefuseDetails(sent)) {
        return false;
    }
    std::string withoutLogin = url;
    std::string user;
    std::string password;
    TakeLoginFromUrl(withoutLogin, user, password);
    return ParseUrl(withoutLogin).has_value();
}

// Why the details' cookie jar cannot go to Dromo; "" when it can. Told to
// the browser before it drops its copy of the download, which it keeps.
QString JarRefusal(const std::map<std::string, std::string>& details)
{
    const auto jar = details.find("cookieJar");
    return jar == details.end() ? QString()
                                : QString::fromLatin1(CookieJarFaultText(CookieJar::Read(jar->second).fault));
}

// The request identifier as the key it is held under ("" for none).
std::string IdKey(const QJsonValue& id)
{
    if (id.isString()) {
        return "s" + id.toString().toStdString();
    }
    if (id.isDouble()) {
        return "n" + QString::number(id.toDouble(), 'g', 17).toStdString();
    }
    return {};
}

// The switches as they are now, for the extension to decide clicks by
// without asking (a failed read reports them off).
QJsonObject SwitchesReply(Profile& profile, const char* clicksName)
{
    CaptureSwitches switches;
    switches.Read(profile, clicksName);
    QJsonArray types;
    for (const std::string& type : switches.fileTypes) {
        types.append(QString::fromStdString(type));
    }
    return {{QStringLiteral("clicks"), switches.clicks},
            {QStringLiteral("allFtp"), switches.allFtp},
            {QStringLiteral("fileTypes"), types}};
}

}  // namespace

TessarinHost::TessarinHost(Profile& profile, Reachable dromoReachable)
    : m_profile(profile), m_dromoReachable(std::move(dromoReachable))
{
}

TessarinHost::~TessarinHost() = default;

bool TessarinHost::StartWithBrowser()
{
    CaptureSwitches switches;
    switches.Read(m_profile, kClicksInChromium);
    return switches.startWithBrowser;
}

// One capture message as the rules read it, and what they decided.
struct TessarinHost::Request {
    const QJsonObject& message;
    QString event;
    std::string url;
    bool ctrl = false;
    // A download the browser has only through a POST cannot be fetched again.
    bool refetchable = true;
    std::map<std::string, std::string> details;
    const Reachable& dromoReachable;
    std::optional<HandOver> handOver;

    QString Text(const char* key) const { return message.value(QLatin1String(key)).toString(); }

    // On the download path the browser's name for the file speaks for a URL
    // that does not tell its type.
    bool ByFileName(const CaptureSwitches& switches, const std::string& candidate, bool lower) const
    {
        const auto byName = details.find("fileName");
        return byName != details.end() && switches.clicks && WebOrFtp(candidate) && UrlHidesType(candidate) &&
               PassesFileTypeTest(lower ? FoldCase(byName->second) : byName->second, switches.fileTypes);
    }

    // Held back when the browser has the download only through a POST, or
    // Dromo cannot take it now.
    bool Decide(bool capture, const std::string& captured)
    {
        capture = capture && refetchable && WebOrFtp(captured) && DromoWouldTake(captured, details) && dromoReachable();
        if (capture) {
            handOver = HandOver{captured, details};
        }
        return capture;
    }
};

TessarinHost::Answer TessarinHost::Handle(const QByteArray& message)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(message, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        return {Error(QStringLiteral("not a JSON object")), {}, {}};
    }
    const QJsonObject m = document.object();
    const QString monitor = m.value(QStringLiteral("monitor")).toString();
    const QString event = m.value(QStringLiteral("event")).toString();
    const QJsonValue id = m.value(QStringLiteral("id"));
    const std::string idKey = IdKey(id);
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(m_held, [now](const auto& held) { return now - held.second.since > kHoldFor; });

    if (event == QLatin1String("Deliver") || event == QLatin1String("Cancel")) {
        return Settle(event, idKey, id);
    }
    const bool knownMonitor = monitor == QLatin1String("URLMonitor") || monitor == QLatin1String("NVMonitor");
    if (std::optional<Answer> offered = knownMonitor ? Offer(m, event, id) : std::nullopt) {
        return std::move(*offered);
    }

    const QString method = m.value(QStringLiteral("method")).toString();
    Request request{.message = m,
                    .event = event,
                    .url = WithoutFragment(m.value(QStringLiteral("url")).toString().toStdString()),
                    .ctrl = m.value(QStringLiteral("ctrl")).toBool(),
                    .refetchable = method.isEmpty() || method.compare(QLatin1String("GET"), Qt::CaseInsensitive) == 0,
                    .details = Details(m.value(QStringLiteral("details")).toObject()),
                    .dromoReachable = m_dromoReachable,
                    .handOver = {}};
    if (const QString refusal = JarRefusal(request.details); !refusal.isEmpty()) {
        return {Error(refusal, id), {}, {}};
    }
    std::optional<QJsonObject> reply;
    if (monitor == QLatin1String("URLMonitor")) {
        reply = AskUrlMonitor(request);
    } else if (monitor == QLatin1String("NVMonitor")) {
        reply = AskNvMonitor(request);
    }
    if (!reply) {
        return {Error(QStringLiteral("unknown monitor or event"), id), {}, {}};
    }
    if (!idKey.empty()) {
        reply->insert(QStringLiteral("id"), id);
        if (request.handOver) {
            m_held[idKey] = Held{std::move(*request.handOver), now};
            request.handOver.reset();
        }
    }
    return {Json(*reply), std::move(request.handOver), {}};
}

// The extension's word on a capture it was told of.
TessarinHost::Answer TessarinHost::Settle(const QString& event, const std::string& idKey, const QJsonValue& id)
{
    const auto held = m_held.find(idKey);
    if (idKey.empty() || held == m_held.end()) {
        return {Error(QStringLiteral("no capture held under this id"), id), {}, {}};
    }
    std::optional<HandOver> handOver;
    if (event == QLatin1String("Deliver")) {
        handOver = std::move(held->second.handOver);
    }
    m_held.erase(held);
    return {Json({{QStringLiteral("id"), id}}), std::move(handOver), {}};
}

std::optional<TessarinHost::Answer> TessarinHost::Offer(const QJsonObject& m, const QString& event,
                                                        const QJsonValue& id)
{
    Answer answer;
    QJsonObject reply;
    if (event == QLatin1String("AddDownload")) {
        const std::string url = WithoutFragment(m.value(QStringLiteral("url")).toString().toStdString());
        HandOver handOver{url, Details(m.value(QStringLiteral("details")).toObject())};
        if (const QString refusal = JarRefusal(handOver.details); !refusal.isEmpty()) {
            return Answer{Error(refusal, id), {}, {}};
        }
        const bool taken = WebOrFtp(url) && DromoWouldTake(url, handOver.details) && m_dromoReachable();
        if (taken) {
            answer.handOver = std::move(handOver);
        }
        reply.insert(QStringLiteral("taken"), taken);
    } else if (event == QLatin1String("AddDownloads")) {
        const QJsonArray links = m.value(QStringLiteral("links")).toArray();
        if (links.size() > kMostLinks) {
            return Answer{Error(QStringLiteral("too many links"), id), {}, {}};
        }
        const QJsonArray cookies = m.value(QStringLiteral("cookies")).toArray();
        const QJsonArray jars = m.value(QStringLiteral("cookieJars")).toArray();
        const QJsonObject shared = m.value(QStringLiteral("details")).toObject();
        for (const auto& value : links) {
            const QJsonObject link = value.toObject();
            const std::string url = WithoutFragment(link.value(QStringLiteral("url")).toString().toStdString());
            if (!WebOrFtp(url)) {
                continue;
            }
            QJsonObject given = shared;
            given.insert(QStringLiteral("fileName"), link.value(QStringLiteral("fileName")));
            const QJsonValue cookie = link.value(QStringLiteral("cookie"));
            if (cookie.isDouble() && cookie.toDouble() >= 0 &&
                cookie.toDouble() < static_cast<double>(cookies.size())) {
                given.insert(QStringLiteral("cookie"), cookies.at(static_cast<qsizetype>(cookie.toDouble())));
            }
            const QJsonValue jar = link.value(QStringLiteral("cookieJar"));
            if (jar.isDouble() && jar.toDouble() >= 0 && jar.toDouble() < static_cast<double>(jars.size())) {
                given.insert(QStringLiteral("cookieJar"), jars.at(static_cast<qsizetype>(jar.toDouble())));
            }
            HandOver offered{url, Details(given)};
            if (const QString refusal = JarRefusal(offered.details); !refusal.isEmpty()) {
                return Answer{Error(refusal, id), {}, {}};
            }
            if (DromoWouldTake(url, offered.details)) {
                answer.links.push_back(std::move(offered));
            }
        }
        const bool taken = !answer.links.empty() && m_dromoReachable();
        if (!taken) {
            answer.links.clear();
        }
        reply.insert(QStringLiteral("taken"), taken);
        reply.insert(QStringLiteral("links"), static_cast<qint64>(answer.links.size()));
    } else {
        return std::nullopt;
    }
    if (!id.isUndefined() && !id.isNull()) {
        reply.insert(QStringLiteral("id"), id);
    }
    answer.reply = Json(reply);
    return answer;
}

std::optional<QJsonObject> TessarinHost::AskUrlMonitor(Request& r)
{
    if (!m_urlMonitor) {
        m_urlMonitor = std::make_unique<URLMonitor>(m_profile);
    }
    QJsonObject reply;
    if (r.event == QLatin1String("BeforeNavigate2")) {
        reply.insert(QStringLiteral("capture"), r.Decide(m_urlMonitor->BeforeNavigate2(r.url, r.ctrl), r.url));
    } else if (r.event == QLatin1String("StatusTextChange")) {
        const auto captured = m_urlMonitor->StatusTextChange(WithoutFragment(r.Text("text").toStdString()), r.ctrl);
        if (captured) {
            reply.insert(QStringLiteral("capture"), r.Decide(true, *captured));
        } else {
            const bool named = !r.ctrl && r.ByFileName(m_urlMonitor->Switches(), r.url, true);
            reply.insert(QStringLiteral("capture"), r.Decide(named, r.url));
        }
    } else if (r.event == QLatin1String("OnQuit")) {
        m_urlMonitor->OnQuit();
    } else if (r.event == QLatin1String("Switches")) {
        reply = SwitchesReply(m_profile, kClicksInChromium);
    } else {
        return std::nullopt;
    }
    return reply;
}

std::optional<QJsonObject> TessarinHost::AskNvMonitor(Request& r)
{
    if (!m_nvMonitor) {
        m_nvMonitor = std::make_unique<NVMonitor>(m_profile);
    }
    QJsonObject reply;
    if (r.event == QLatin1String("Initialize")) {
        bool capture = m_nvMonitor->Initialize(r.Text("protocol").toStdString(), r.url);
        capture = capture || r.ByFileName(m_nvMonitor->Switches(), r.url, false);
        reply.insert(QStringLiteral("retVal"), r.Decide(capture, r.url) ? 1 : 0);
    } else if (r.event == QLatin1String("Open")) {
        m_nvMonitor->Open(r.url);
    } else if (r.event == QLatin1String("Switches")) {
        reply = SwitchesReply(m_profile, kClicksInFirefox);
    } else {
        return std::nullopt;
    }
    return reply;
}

void HandToDromo(const HandOver& handOver)
{
    QDBusConnection bus = FreshSessionConnection();
    if (bus.isConnected()) {
        auto call = [&bus](const QString& method) {
            return QDBusMessage::createMethodCall(QLatin1String(kDromoName), QStringLiteral("/URLMonitor"),
                                                  QLatin1String(kDromoName), method);
        };
        bool added = false;
        if (!handOver.details.empty()) {
            qDBusRegisterMetaType<QMap<QString, QString>>();
            QMap<QString, QString> details;
            for (const auto& [key, value] : handOver.details) {
                details.insert(QString::fromStdString(key), QString::fromStdString(value));
            }
            QDBusMessage add = call(QStringLiteral("AddDownload"));
            add << QString::fromStdString(handOver.url) << QVariant::fromValue(details);
            const QDBusMessage answer = bus.call(add, QDBus::Block, kHandOverTimeoutMs);
            // A Dromo from before AddDownload still takes the URL.
            added = !(answer.type() == QDBusMessage::ErrorMessage &&
                      answer.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"));
        }
        if (!added) {
            QDBusMessage add = call(QStringLiteral("AddURL"));
            add << QString::fromStdString(handOver.url);
            bus.call(add, QDBus::Block, kHandOverTimeoutMs);
        }
    }
    QDBusConnection::disconnectFromBus(bus.name());
}

void OfferLinksToDromo(const std::vector<HandOver>& links)
{
    OfferedLinkArgument::Register();
    QList<OfferedLinkArgument> offered;
    for (const HandOver& link : links) {
        OfferedLinkArgument argument{QString::fromStdString(link.url), {}};
        for (const auto& [key, value] : link.details) {
            argument.details.insert(QString::fromStdString(key), QString::fromStdString(value));
        }
        offered.append(argument);
    }
    QDBusConnection bus = FreshSessionConnection();
    if (bus.isConnected()) {
        QDBusMessage add = QDBusMessage::createMethodCall(QLatin1String(kDromoName), QStringLiteral("/URLMonitor"),
                                                          QLatin1String(kDromoName), QStringLiteral("AddDownloads"));
        add << QVariant::fromValue(offered);
        // Dromo answers at once and asks the user afterwards; the time-out
        // is for starting it.
        bus.call(add, QDBus::Block, kHandOverTimeoutMs);
    }
    QDBusConnection::disconnectFromBus(bus.name());
}

bool DromoReachable()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    auto ask = [&bus](const QString& method) {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                           QStringLiteral("/org/freedesktop/DBus"),
                                                           QStringLiteral("org.freedesktop.DBus"), method);
        if (method == QLatin1String("NameHasOwner")) {
            call << QLatin1String(kDromoName);
        }
        const QDBusMessage answer = bus.call(call, QDBus::Block, kReachableTimeoutMs);
        return answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty()
                   ? answer.arguments().constFirst()
                   : QVariant();
    };
    if (ask(QStringLiteral("NameHasOwner")).toBool()) {
        return true;
    }
    return ask(QStringLiteral("ListActivatableNames")).toStringList().contains(QLatin1String(kDromoName));
}

void StartDromo()
{
    QDBusConnection bus = FreshSessionConnection();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("StartServiceByName"));
        call << QLatin1String(kDromoName) << 0u;
        bus.call(call, QDBus::Block, 60000);
    }
    QDBusConnection::disconnectFromBus(bus.name());
}

}  // namespace dromo
