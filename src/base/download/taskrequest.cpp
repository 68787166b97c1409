#include "base/download/taskrequest.h"

#include <cstdlib>

#include "base/text/filenames.h"
#include "base/values/protocoltexts.h"

namespace dromo {
namespace {

bool NameCameFromUrl(const TaskRecord& task)
{
    const std::string name = NameOfPath(task.saveAs);
    const std::string fromUrl = FileNameFromUrl(task.remotePath);
    if (name == fromUrl) {
        return true;
    }
    for (int n = 1; n < 1000; ++n) {
        if (name == NumberedPath(fromUrl, n)) {
            return true;
        }
    }
    return false;
}

}  // namespace

TransferSettings SettingsFor(const TaskRecord& task, const GlobalOptions& options, const ProxyList& proxies)
{
    TransferSettings s;
    s.taskId = task.taskId;
    s.speedLimit = task.speedLimit;
    s.idleSeconds = task.idleTime;
    s.refreshMs = task.refresh;
    s.autoSaveKB = static_cast<std::int32_t>(std::atoi(task.autoSave.c_str()));
    s.passive = task.pasvMode;
    s.httpVersion = task.httpVersion;
    s.userAgent = task.userAgent;
    s.connections = ClampConnections(task.connections);
    s.cookies = options.enableCookie;
    s.ftpTlsRequired = options.requireFtpTls != 0;
    if (task.useProxy != 0 && task.proxyIndex >= 0 && task.proxyIndex < static_cast<std::int32_t>(proxies.size())) {
        const ProxyEntry& p = proxies[static_cast<std::size_t>(task.proxyIndex)];
        s.proxy = ProxySetting{p.host + ":" + std::to_string(static_cast<std::uint16_t>(p.port)), p.user, p.password};
    }
    return s;
}

TransferRequest RequestFor(const TaskRecord& task, const std::string& user, const std::string& password)
{
    TransferRequest r = RequestAt(ParsedUrl{task.protocol, task.host, task.remotePath, task.port}, task.saveAs);
    r.user = user;
    r.password = password;
    r.details = BrowserRequestDetails{task.cookie, task.referrer, task.cookieJar};
    r.mirrors = MirrorList::Parse(task.mirrors).value_or(MirrorList());
    r.pieces = PieceHashes::Parse(task.pieces).value_or(PieceHashes());
    r.ReadDigests(task.checksum);
    r.serverNameAllowed = ServerNameAllowed(task);
    r.variant = task.variant;
    return r;
}

TransferRequest RequestAt(const ParsedUrl& url, const std::string& saveAs)
{
    TransferRequest r;
    r.ftp = IsFtpProtocol(url.protocol);
    r.secure = IsSecureProtocol(url.protocol);
    r.host = url.host;
    r.port = url.port;
    r.remotePath = url.remotePath;
    r.saveAs = saveAs;
    return r;
}

bool ServerNameAllowed(const TaskRecord& task)
{
    return !task.nameChosen && NameCameFromUrl(task);
}

}  // namespace dromo
