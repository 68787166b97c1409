#pragma once

// What the engine's tests share: a sink that records the engine's events and
// a real CurlEngine with the call that runs one URL through it.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/core/taskrecord.h"
#include "base/mainwindow/parseurl.h"
#include "engine/curlengine.h"

namespace dromo::test {

struct Event {
    std::string text;
    std::int64_t bytes;
    std::int64_t speed;
    int kind;
};

class RecordingSink : public ProgressSink {
public:
    std::function<void(const Event&)> onEvent;

    void OnProgress(const std::string& text, std::int64_t bytes, std::int64_t speed, int kind,
                    std::int16_t) override
    {
        Event e{text, bytes, speed, kind};
        {
            std::lock_guard lock(m_mutex);
            m_events.push_back(e);
        }
        if (onEvent) {
            onEvent(e);
        }
    }
    std::vector<Event> Events()
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    std::vector<Event> OfKind(int kind)
    {
        std::vector<Event> out;
        for (const Event& e : Events()) {
            if (e.kind == kind) {
                out.push_back(e);
            }
        }
        return out;
    }
    void Clear()
    {
        std::lock_guard lock(m_mutex);
        m_events.clear();
    }

private:
    std::mutex m_mutex;
    std::vector<Event> m_events;
};

// One engine and the call that runs a URL through it.
struct Fetcher {
    RecordingSink sink;
    CurlEngine engine{sink};

    Fetcher()
    {
        engine.SetIdleTime(20);
        engine.SetPasvMode(1);
    }
    // One proxy ("host:port") for HTTP(S) and FTP alike, with its login.
    void UseProxy(const std::string& hostPort, const std::string& user = "", const std::string& password = "")
    {
        engine.SetProxyServer1(hostPort);
        engine.SetProxyServer2(hostPort);
        engine.SetProxyUser1(user);
        engine.SetProxyUser2(user);
        engine.SetProxyPassword1(password);
        engine.SetProxyPassword2(password);
    }
    bool Get(const std::string& url, const std::string& target, const std::string& user = "",
             const std::string& password = "")
    {
        const auto u = ParseUrl(url);
        if (!u) {
            ADD_FAILURE() << "bad test URL " << url;
            return false;
        }
        engine.SetSecure(u->protocol == kProtocolHttps);
        const bool ok = u->protocol == kProtocolFtp
                            ? engine.FtpGet(u->host, u->port, u->remotePath, target, user, password)
                            : engine.HttpGet(u->host, u->port, u->remotePath, target, user, password);
        engine.Close();
        return ok;
    }
    std::string Error() { return engine.ErrorText(); }
};

}  // namespace dromo::test
