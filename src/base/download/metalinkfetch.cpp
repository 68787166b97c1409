#include "base/download/metalinkfetch.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <random>

#include "base/download/taskrequest.h"
#include "base/ports/enginefactory.h"
#include "base/ports/progresssink.h"
#include "base/storage/metalinklist.h"
#include "base/text/parseurl.h"
#include "base/values/taskrecord.h"

namespace dromo {
namespace {

// The document's fetch is no task: its progress is shown nowhere.
class NoProgress : public ProgressSink {
public:
    void OnProgress(const Progress&) override {}
};

std::string FreshName(const std::string& folder)
{
    static std::mutex mutex;
    static std::mt19937_64 random{std::random_device{}()};
    std::lock_guard lock(mutex);
    return folder + (folder.empty() || folder.back() == '/' ? "" : "/") + "dromo-metalink-" + std::to_string(random()) +
           ".meta4";
}

}  // namespace

MetalinkFetch::MetalinkFetch(EngineFactory& engines, const MetalinkReader& reader)
    : m_engines(engines), m_reader(reader)
{
}

MetalinkFetch::~MetalinkFetch()
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

void MetalinkFetch::Start(const std::string& url, const std::string& folder, const DownloadDetails& details, Done done)
{
    m_threads.ReapFinished();
    const std::string path = FreshName(folder);
    m_threads.Start([this, url, path, details, done = std::move(done)] { done(Fetch(url, path, details)); });
}

MetalinkReading MetalinkFetch::Fetch(const std::string& url, const std::string& path, const DownloadDetails& details)
{
    MetalinkReading reading;
    const std::optional<ParsedUrl> parsed = ParseUrl(url);
    // Outlives the engine: the fetch ends before this function returns.
    NoProgress progress;
    const std::shared_ptr<TransferEngine> engine = parsed ? m_engines.Create(progress) : nullptr;
    if (!engine) {
        reading.error = "invalid url";
        return reading;
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_ending) {
            reading.error = "Error - cancelled by user.";
            return reading;
        }
        m_running.push_back(engine);
    }
    TransferEngine& e = *engine;
    TransferSettings settings;
    settings.userAgent = details.userAgent;
    settings.idleSeconds = 30;
    settings.refreshMs = 200;
    settings.passive = 1;
    e.Configure(settings);
    TransferRequest request = RequestAt(*parsed, path);  // the document is ours to name
    request.details = BrowserRequestDetails{details.cookie, details.referrer, details.cookieJar};
    if (request.ftp) {
        request.user = "anonymous";
    }
    // Refused at its announced length, before a byte is written, as
    // dromo-fetch refuses it; else once more bytes came than it may hold.
    request.maxFileSize = static_cast<std::int64_t>(kMetalinkMaxBytes);
    const bool ok = e.Transfer(request);
    const std::string error = e.ErrorText();
    const bool tooLarge = e.TooLarge();
    e.Close();
    {
        std::lock_guard lock(m_mutex);
        m_running.erase(std::find(m_running.begin(), m_running.end(), engine));
    }
    if (tooLarge) {
        reading.error =
            "The Metalink file is larger than " + std::to_string(kMetalinkMaxBytes / (1024 * 1024)) + " MB.";
    } else if (!ok) {
        reading.error = "The Metalink file could not be fetched: " + error;
    }
    // The engine saves beside a name it finds taken: what it wrote is
    // removed, never a file that had the name before.
    const std::string saved = e.SavedAs().empty() ? path : e.SavedAs();
    if (ok && !tooLarge) {
        reading = MetalinkList::ReadFile(saved, m_reader);
    }
    std::remove(saved.c_str());
    std::remove((saved + "+++").c_str());
    return reading;
}

}  // namespace dromo
