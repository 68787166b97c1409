#include "base/download/addresscheck.h"

#include <algorithm>

#include "base/download/taskrequest.h"
#include "base/ports/enginefactory.h"
#include "base/ports/progresssink.h"
#include "base/tasks/tasktable.h"
#include "base/text/filenames.h"
#include "base/text/parseurl.h"
#include "base/text/trace.h"
#include "base/values/viewsettings.h"

namespace dromo {
namespace {

// The check moves no task's bytes: nothing of it goes to a row.
class Silent : public ProgressSink {
public:
    void OnProgress(const Progress&) override {}
};

WaitingTask WaitingOf(const TaskRecord& r, const ProxyList& proxies)
{
    WaitingTask w;
    w.taskId = r.taskId;
    w.saveAs = r.saveAs;
    w.userAgent = r.userAgent;
    w.httpVersion = r.httpVersion;
    w.idleTime = r.idleTime;
    if (r.useProxy != 0 && r.proxyIndex >= 0 && r.proxyIndex < static_cast<std::int32_t>(proxies.size())) {
        const ProxyEntry& p = proxies[static_cast<std::size_t>(r.proxyIndex)];
        w.proxy = p.host + ":" + std::to_string(static_cast<std::uint16_t>(p.port));
        w.proxyUser = p.user;
        w.proxyPassword = p.password;
    }
    return w;
}

}  // namespace

AddressCheck::AddressCheck(TaskTable& table, const ViewSettings& settings, EngineFactory& engines)
    : m_table(table), m_settings(settings), m_engines(engines)
{
}

AddressCheck::~AddressCheck()
{
    {
        std::lock_guard lock(m_mutex);
        m_ending = true;
        for (const std::shared_ptr<TransferEngine>& engine : m_running) {
            engine->Abort();
        }
    }
    m_threads.JoinAll();
}

std::vector<WaitingTask> AddressCheck::Waiting(TaskId only) const
{
    std::vector<WaitingTask> waiting;
    auto guard = m_table.Lock();
    if (m_table.CountIn(TaskState::Paused) == 0) {
        return waiting;
    }
    m_table.ForEachRow([&](const TaskRecord& r, const TaskRow&) {
        if (r.WaitsForNewAddress() && (only == kNoTask || r.taskId == only)) {
            waiting.push_back(WaitingOf(r, m_settings.proxies));
        }
    });
    return waiting;
}

bool AddressCheck::Start(const std::string& url, const DownloadDetails& details, std::vector<WaitingTask> waiting,
                         Done done)
{
    const std::optional<ParsedUrl> parsed = ParseUrl(url);
    if (waiting.empty() || !parsed || IsFtpProtocol(parsed->protocol) || RefuseDetails(details)) {
        return false;
    }
    m_threads.ReapFinished();
    m_threads.Start([this, url, details, waiting = std::move(waiting), done = std::move(done)] {
        done(Check(url, details, waiting));
    });
    return true;
}

AddressCheckResult AddressCheck::Check(const std::string& url, const DownloadDetails& details,
                                       const std::vector<WaitingTask>& waiting)
{
    AddressCheckResult result;
    result.url = url;
    result.details = details;
    for (const WaitingTask& task : waiting) {
        const SameFileVerdict verdict = CheckOne(url, details, task);
        trace::Line(
            "task " + std::to_string(task.taskId),
            url + (verdict.same ? " serves the same file" : " is not provably the same file: " + verdict.reason));
        if (verdict.same) {
            result.continues = task.taskId;
            result.name = NameOfPath(task.saveAs);
            return result;
        }
        result.reasons.push_back(verdict.reason);
    }
    return result;
}

SameFileVerdict AddressCheck::CheckOne(const std::string& url, const DownloadDetails& details, const WaitingTask& task)
{
    Silent silent;
    const std::shared_ptr<TransferEngine> engine = m_engines.Create(silent);
    const std::optional<ParsedUrl> parsed = ParseUrl(url);
    if (!engine || !parsed) {
        return SameFileVerdict{false, "no engine"};
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_ending) {
            return SameFileVerdict{false, "cancelled by user."};
        }
        m_running.push_back(engine);
    }
    TransferEngine& e = *engine;
    TransferSettings settings;
    settings.taskId = task.taskId;
    settings.userAgent = details.userAgent.empty() ? task.userAgent : details.userAgent;
    settings.httpVersion = task.httpVersion;
    settings.idleSeconds = task.idleTime > 0 ? task.idleTime : 30;
    settings.proxy = ProxySetting{task.proxy, task.proxyUser, task.proxyPassword};
    e.Configure(settings);
    TransferRequest request = RequestAt(*parsed, task.saveAs);
    request.details = BrowserRequestDetails{details.cookie, details.referrer, details.cookieJar};
    const AddressSample sample = e.SampleAddress(request);
    e.Close();
    {
        std::lock_guard lock(m_mutex);
        m_running.erase(std::find(m_running.begin(), m_running.end(), engine));
    }
    return JudgeSameFile(sample);
}

}  // namespace dromo
