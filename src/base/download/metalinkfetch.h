#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/commands/taskadder.h"
#include "base/sync/reapedthreads.h"
#include "base/text/metalinkdocument.h"

namespace dromo {

class EngineFactory;
class MetalinkReader;
class TransferEngine;

// A Metalink file given by its URL: fetched through the engine, on a thread
// of its own, into a file of a temporary folder that is removed once read
// (a document larger than a Metalink file may be is refused at its length
// or cut off once more came, before it is written), then
// read and checked. Called on the user-interface thread; the destructor
// aborts what still runs and joins it.
class MetalinkFetch {
public:
    // Runs on the fetching thread, with the files or the reason.
    using Done = std::function<void(MetalinkReading)>;

    MetalinkFetch(EngineFactory& engines, const MetalinkReader& reader);
    ~MetalinkFetch();
    MetalinkFetch(const MetalinkFetch&) = delete;
    MetalinkFetch& operator=(const MetalinkFetch&) = delete;

    // Sent as a browser's download would be: with what the browser knew of
    // it (its cookies, the page as referrer; `details.userAgent`, which the
    // caller sets to the options' when the browser gave none). A site that
    // hands the file to its signed-in visitors only hands it over so.
    // `folder` must exist.
    void Start(const std::string& url, const std::string& folder, const DownloadDetails& details, Done done);

private:
    MetalinkReading Fetch(const std::string& url, const std::string& path, const DownloadDetails& details);

    EngineFactory& m_engines;
    const MetalinkReader& m_reader;
    std::mutex m_mutex;  // guards m_running and m_ending
    std::vector<std::shared_ptr<TransferEngine>> m_running;
    bool m_ending = false;
    ReapedThreads m_threads;
};

}  // namespace dromo
