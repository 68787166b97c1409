#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/ports/transferengine.h"

#include "base/ports/progresssink.h"

#include "base/ports/enginefactory.h"

#include "base/values/transferoutcome.h"

#include "base/ports/fileclaims.h"

namespace dromo::test {

// What one transfer call of a scripted engine does.
struct Step {
    static Step Ok(std::string text = "") { return Step{.ok = true, .error = std::move(text)}; }
    static Step Fail(std::string text) { return Step{.ok = false, .error = std::move(text)}; }
    static Step Stall() { return Step{.blockUntilAbort = true}; }

    bool ok = true;
    std::string error{};                // ErrorText after the call
    std::vector<ProgressKind> kinds{};  // events fired during the call, in order
    std::int64_t bytes = 0;             // bytes reported by kind 1 and 3 events
    bool blockUntilAbort = false;       // a stalled transfer: ends only by Abort
    std::string savedAs{};              // SavedAs after the call; "" keeps the target given
    std::int32_t retryAfter = -1;       // RetryAfter after the call
    std::string mirrors{};              // AnnouncedMirrors after the call
    std::string verified{};             // Verified after the call
    std::string stream{};               // FoundStream after the call
    // Outcome after the call; unset: what the text's marker says, as the
    // real engine's texts and outcomes agree.
    std::optional<TransferOutcome> outcome{};
    // Names free on disk the call may move to, in order, as the real engine
    // moves beside a file that is not the download: it claims them in the
    // task list one after the other and takes the first it gets.
    std::vector<std::string> moveAsideTo{};
    // The call writes the partial file of the name it ends with.
    bool writesPartialFile = false;
};

inline TransferOutcome OutcomeOfStep(bool ok, const std::string& text)
{
    for (const TransferOutcome o : {TransferOutcome::AlreadyExisted, TransferOutcome::Cancelled,
                                    TransferOutcome::NotFound, TransferOutcome::ConnectionLost}) {
        if (text.find(OutcomeMarker(o)) != std::string::npos) {
            return o;
        }
    }
    if (text.find(" 401 ") != std::string::npos || text.find(" 403 ") != std::string::npos) {
        return TransferOutcome::AccessDenied;
    }
    return ok ? TransferOutcome::Completed : TransferOutcome::Failed;
}

// One script for all engines a factory makes: each transfer call, on any
// worker, takes the next step (or succeeds when the script is empty).
class Script {
public:
    void Add(Step step)
    {
        std::lock_guard lock(m_mutex);
        m_steps.push_back(std::move(step));
    }
    Step Next()
    {
        std::lock_guard lock(m_mutex);
        if (m_steps.empty()) {
            return Step{};
        }
        Step s = m_steps.front();
        m_steps.pop_front();
        return s;
    }
    void RecordCall(const std::string& call)
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(call);
    }
    std::vector<std::string> Calls()
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    // What the task list said of each transfer's partial file.
    void RecordOwnership(const std::string& answer)
    {
        std::lock_guard lock(m_mutex);
        m_ownerships.push_back(answer);
    }
    std::vector<std::string> Ownerships()
    {
        std::lock_guard lock(m_mutex);
        return m_ownerships;
    }
    // What every SampleAddress answers.
    void SetSample(AddressSample sample)
    {
        std::lock_guard lock(m_mutex);
        m_sample = std::move(sample);
    }
    AddressSample Sample()
    {
        std::lock_guard lock(m_mutex);
        return m_sample;
    }
    std::vector<std::string> Transfers()
    {
        std::vector<std::string> out;
        for (const auto& c : Calls()) {
            if (c.rfind("HttpGet", 0) == 0 || c.rfind("FtpGet", 0) == 0) {
                out.push_back(c);
            }
        }
        return out;
    }

private:
    std::mutex m_mutex;
    std::deque<Step> m_steps;
    std::vector<std::string> m_calls;
    std::vector<std::string> m_ownerships;
    AddressSample m_sample;
};

class ScriptedEngine : public TransferEngine {
public:
    ScriptedEngine(Script& script, ProgressSink& sink) : m_script(script), m_sink(sink) {}

    std::int64_t fileSize = -1;
    bool resumable = true;

    bool IsResumable() override { return resumable; }
    // The settings and the request are recorded as the classic operations
    // that would have set them, in their classic order, then the call.
    bool Transfer(const TransferRequest& r) override
    {
        RecordSettings(r);
        return Run(std::string(r.ftp ? "FtpGet " : "HttpGet ") + r.host + r.remotePath + " " + r.saveAs + " " + r.user +
                       ":" + r.password,
                   r.saveAs);
    }
    std::string ErrorText() override
    {
        std::lock_guard lock(m_mutex);
        return m_error;
    }
    TransferOutcome Outcome() override
    {
        std::lock_guard lock(m_mutex);
        return m_outcome;
    }
    void Close() override { m_script.RecordCall("Close"); }
    std::int64_t FileSize() override { return fileSize; }
    void Abort() override
    {
        m_script.RecordCall("Abort");
        std::lock_guard lock(m_mutex);
        m_aborted = true;
        m_cv.notify_all();
    }
    void SetFileClaims(FileClaims* claims) override { m_claims = claims; }
    // A file of fileSize bytes passes the limit.
    bool TooLarge() const override { return m_maxFileSize >= 0 && fileSize > m_maxFileSize; }
    std::string FoundStream() override
    {
        std::lock_guard lock(m_mutex);
        return m_stream;
    }
    std::string SavedAs() override
    {
        std::lock_guard lock(m_mutex);
        return m_savedAs;
    }
    // The script's sample for the address, recorded as a call.
    using TransferEngine::SampleAddress;
    AddressSample SampleAddress(const TransferRequest& r) override
    {
        RecordSettings(r);
        m_script.RecordCall("SampleAddress " + r.host + r.remotePath + " " + r.saveAs);
        return m_script.Sample();
    }
    std::int32_t RetryAfter() override
    {
        std::lock_guard lock(m_mutex);
        return m_retryAfter;
    }
    MirrorList AnnouncedMirrors() override
    {
        std::lock_guard lock(m_mutex);
        return MirrorList::Parse(m_mirrors).value_or(MirrorList());
    }
    std::string Verified() override
    {
        std::lock_guard lock(m_mutex);
        return m_verified;
    }

private:
    void Set(const char* name, const std::string& value) { m_script.RecordCall(std::string(name) + " " + value); }
    void RecordSettings(const TransferRequest& r)
    {
        const TransferSettings& s = Settings();
        m_taskId = s.taskId;
        m_maxFileSize = r.maxFileSize;
        Set("SetTaskId", std::to_string(s.taskId));
        Set("SetSpeedLimit", std::to_string(s.speedLimit));
        Set("SetIdleTime", std::to_string(s.idleSeconds));
        Set("SetRefresh", std::to_string(s.refreshMs));
        Set("SetAutoSave", std::to_string(s.autoSaveKB));
        Set("SetPasvMode", std::to_string(s.passive));
        Set("SetHttpVersion", s.httpVersion);
        Set("SetUserAgent", s.userAgent);
        if (!r.details.cookie.empty() || !r.details.referrer.empty()) {
            Set("SetRequestDetails", r.details.cookie + " | " + r.details.referrer);
        }
        if (!r.details.cookieJar.empty()) {
            Set("SetCookieJar", r.details.cookieJar);
        }
        Set("SetConnections", std::to_string(s.connections));
        Set("SetExpectedDigests", r.digestsUnreadable.empty() ? r.digests.Stored() : "(unreadable)");
        Set("SetMirrors", r.mirrors.Stored());
        Set("SetPieceHashes", r.pieces.Stored());
        if (!r.variant.empty()) {
            Set("SetStreamVariant", r.variant);
        }
        if (r.maxFileSize >= 0) {
            Set("SetMaxFileSize", std::to_string(r.maxFileSize));
        }
        Set("SetCookies", std::to_string(s.cookies));
        Set("SetFtpTlsRequired", s.ftpTlsRequired ? "1" : "0");
        if (!s.proxy.server.empty()) {
            Set("SetProxyUser1", s.proxy.user);
            Set("SetProxyPassword1", s.proxy.password);
            Set("SetProxyUser2", s.proxy.user);
            Set("SetProxyPassword2", s.proxy.password);
        }
        Set("SetProxyServer1", s.proxy.server);
        Set("SetProxyServer2", s.proxy.server);
        Set("SetSecure", r.secure ? "1" : "0");
        Set("SetServerNameAllowed", r.serverNameAllowed ? "1" : "0");
    }

    bool Run(const std::string& call, std::string target)
    {
        m_script.RecordCall(call);
        const Step step = m_script.Next();
        if (m_claims != nullptr) {
            m_script.RecordOwnership(target + (m_claims->OwnsPartialFile(target) ? " owned" : " not owned"));
        }
        for (const std::string& name : step.moveAsideTo) {
            if (m_claims == nullptr || m_claims->Claim(name)) {
                target = name;
                break;
            }
        }
        if (step.writesPartialFile && m_claims != nullptr) {
            m_claims->WritingPartialFile(target);
        }
        for (const ProgressKind k : step.kinds) {
            m_sink.OnProgress(Progress{k, m_taskId, k == ProgressKind::Status ? "12:00:00 status" : "", step.bytes,
                                       1024, StatusTone::Plain});
        }
        std::unique_lock lock(m_mutex);
        m_savedAs = step.savedAs.empty() ? target : step.savedAs;
        if (step.blockUntilAbort) {
            m_cv.wait(lock, [this] { return m_aborted; });
        }
        if (m_aborted) {
            m_aborted = false;
            m_error = "Error - cancelled by user.";
            m_outcome = TransferOutcome::Cancelled;
            return false;
        }
        m_error = step.error;
        m_outcome = step.outcome.value_or(OutcomeOfStep(step.ok, step.error));
        m_retryAfter = step.retryAfter;
        m_mirrors = step.mirrors;
        m_verified = step.verified;
        m_stream = step.stream;
        return step.ok;
    }

    Script& m_script;
    ProgressSink& m_sink;
    std::int64_t m_maxFileSize = -1;
    FileClaims* m_claims = nullptr;
    TaskId m_taskId = 0;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_aborted = false;
    std::string m_error;
    std::string m_savedAs;
    std::int32_t m_retryAfter = -1;
    std::string m_mirrors;
    std::string m_verified;
    std::string m_stream;
    TransferOutcome m_outcome = TransferOutcome::Failed;
};

class ScriptedEngineFactory : public EngineFactory {
public:
    Script script;
    std::int64_t fileSize = -1;
    bool fail = false;  // no engine can be made
    std::vector<std::shared_ptr<ScriptedEngine>> made;

    std::shared_ptr<TransferEngine> Create(ProgressSink& sink) override
    {
        if (fail) {
            return nullptr;
        }
        auto engine = std::make_shared<ScriptedEngine>(script, sink);
        engine->fileSize = fileSize;
        std::lock_guard lock(m_mutex);
        made.push_back(engine);
        return engine;
    }

private:
    std::mutex m_mutex;
};

}  // namespace dromo::test
