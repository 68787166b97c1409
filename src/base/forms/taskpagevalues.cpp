#include "base/forms/taskpagevalues.h"

#include <optional>

#include "base/text/digestlist.h"
#include "base/text/variantchoice.h"
#include "base/values/globaloptions.h"
#include "base/values/taskrecord.h"

namespace dromo {

SpeedFields SpeedFields::FromStored(std::int32_t stored)
{
    SpeedFields speed;
    speed.unlimited = stored == -1;
    if (!speed.unlimited) {
        speed.limit = stored;
    }
    return speed;
}

TaskPageValues TaskPageValues::FromOptions(const GlobalOptions& o, const std::string& url)
{
    TaskPageValues v;
    v.url = url;
    v.saveAs = o.saveTo;
    v.targetFolder = o.saveTo;
    v.useLogin = 0;  // "Enable Authentication" is never stored on
    v.user = o.username;
    v.password = o.password;
    v.idleTime = o.maxIdleTime;
    v.connections = o.connectionsPerTask;
    v.speed = SpeedFields::FromStored(o.maxSpeedValue);
    v.errorCount = o.maxErrorCount;
    v.retryInterval = o.retryInterval;
    v.useProxy = o.enableProxy;
    v.proxyChoice = -1;
    v.protocol = {o.pasvMode, o.httpVersion, o.userAgent};
    v.schedule = {o.enableSchedule, o.scheduleStartAt, o.untilFinished, o.duration};
    v.autoSave = o.autoSave;
    v.refreshTenths = o.refreshRate / 100;
    return v;
}

TaskPageValues TaskPageValues::FromRecord(const TaskRecord& r, const GlobalOptions& o)
{
    TaskPageValues v;
    v.url = ComposeUrl(r);
    v.saveAs = r.saveAs;
    v.targetFolder = o.saveTo;
    v.useLogin = r.useLogin;
    v.user = r.user;
    v.password = r.password;
    v.idleTime = r.idleTime;
    v.connections = r.connections;
    v.speed = SpeedFields::FromStored(r.speedLimit);
    v.errorCount = r.errorCount;
    v.retryInterval = r.retryInterval;
    v.useProxy = r.useProxy;
    v.proxyChoice = r.proxyIndex;
    v.protocol = {r.pasvMode, r.httpVersion, r.userAgent};
    v.schedule = {r.scheduled, r.startAt, r.untilFinished, r.duration};
    v.autoSave = r.autoSave;
    v.refreshTenths = r.refresh / 100;
    v.checksum = r.checksum;
    v.variant = r.variant;
    v.mirrors = r.mirrors;
    return v;
}

void TaskPageValues::ApplyTo(TaskRecord& r) const
{
    if (r.saveAs != saveAs) {
        r.ownsPartialFile = 0;  // what the list knew was of the old name's partial file
    }
    r.saveAs = saveAs;
    r.user = user;
    r.password = password;
    r.useLogin = useLogin;
    r.idleTime = idleTime;
    r.connections = connections;
    r.speedLimit = speed.Stored();
    r.errorCount = errorCount;
    r.retryInterval = retryInterval;
    r.useProxy = useProxy;
    r.proxyIndex = proxyChoice;
    r.pasvMode = protocol.pasvMode;
    r.httpVersion = protocol.httpVersion;
    r.userAgent = protocol.userAgent;
    r.scheduled = schedule.scheduled;
    r.startAt = schedule.startAt;
    r.untilFinished = schedule.untilFinished;
    r.duration = schedule.duration;
    r.autoSave = autoSave;
    r.refresh = refreshTenths * 100;
    // Stored in the canonical form the sheet's check has accepted.
    const std::optional<DigestList> digests = DigestList::Parse(checksum);
    r.checksum = digests ? digests->Stored() : checksum;
    const std::optional<VariantChoice> choice = VariantChoice::Parse(variant);
    r.variant = choice ? choice->Stored() : variant;
}

std::string ComposeUrl(const TaskRecord& r)
{
    std::string url = std::string(SchemeOf(r.protocol)) + "://";
    const int defaultPort = DefaultPortOf(r.protocol);
    url += r.host;
    if (r.port != defaultPort) {
        url += ":" + std::to_string(r.port);
    }
    return url + r.remotePath;
}

}  // namespace dromo
