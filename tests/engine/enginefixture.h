#pragma once

// What the engine's tests share: a sink that records the engine's events and
// a real CurlEngine with the call that runs one URL through it.

#include <gtest/gtest.h>

#include <strings.h>
#include <sys/xattr.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "base/ports/fileclaims.h"
#include "base/text/parseurl.h"
#include "base/values/taskrecord.h"
#include "engine/curlengine.h"
#include "tests/support/testservers.h"

namespace dromo {

// gtest prints a kind by its classic number.
inline std::ostream& operator<<(std::ostream& out, ProgressKind kind)
{
    return out << static_cast<int>(kind);
}

}  // namespace dromo

namespace dromo::test {

struct Event {
    std::string text;
    std::int64_t bytes;
    std::int64_t speed;
    ProgressKind kind;
    TaskId taskId;
    StatusTone tone;
};

// Every status an engine test hears says in its tone what its text says in
// words: the window's sounds follow the tone, the Status column and the
// history the text. A text that begins (after the time) with "Error " or
// "Fail " is a failure's; "Connecting to" and "File has been downloaded"
// are their own tones. (A failure may be worded otherwise: "The address has
// expired", a mirror left for a wrong length.)
inline void ExpectToneAgreesWithText(const Progress& p)
{
    const std::string message = p.text.size() >= 9 ? p.text.substr(9) : p.text;
    if (message.rfind("Error ", 0) == 0 || message.rfind("Fail ", 0) == 0) {
        EXPECT_EQ(p.tone, StatusTone::Failure) << p.text;
    }
    EXPECT_EQ(p.tone == StatusTone::Connecting, message.rfind("Connecting to ", 0) == 0) << p.text;
    EXPECT_EQ(p.tone == StatusTone::Done, message.rfind("File has been downloaded", 0) == 0) << p.text;
}

class RecordingSink : public ProgressSink {
public:
    std::function<void(const Event&)> onEvent;

    void OnProgress(const Progress& p) override
    {
        if (p.kind == ProgressKind::Status) {
            ExpectToneAgreesWithText(p);
        }
        Event e{p.text, p.bytes, p.speed, p.kind, p.taskId, p.tone};
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
    std::vector<Event> OfKind(ProgressKind kind)
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

// Marks a file as a partial file Dromo wrote, as every partial file it
// writes is marked (an empty validator: the server named no version).
inline void MarkAsDromosPartialFile(const std::string& path)
{
    ASSERT_EQ(::setxattr(path.c_str(), "user.dromo.validator", "", 0, 0), 0) << path;
}

// A partial file as an earlier run of Dromo left it.
inline void WriteOwnPartialFile(const std::string& path, const std::string& bytes)
{
    WriteFile(path, bytes);
    MarkAsDromosPartialFile(path);
}

// The task list's side of a transfer, as a test sets it: names other tasks
// hold, and partial files the list records as the task's own.
class ListedClaims : public FileClaims {
public:
    std::set<std::string> heldByOthers;
    std::set<std::string> ownedPartials;
    std::vector<std::string> claimed;
    std::vector<std::string> writing;

    bool Claim(const std::string& path) override
    {
        if (heldByOthers.count(path) > 0) {
            return false;
        }
        claimed.push_back(path);
        return true;
    }
    bool OwnsPartialFile(const std::string& path) override { return ownedPartials.count(path) > 0; }
    void WritingPartialFile(const std::string& path) override { writing.push_back(path); }
};

// One engine and the call that runs a URL through it.
struct Fetcher {
    RecordingSink sink;
    HostConnections ownHosts;  // the engine's count of connections per host, unless it shares one
    CurlEngine engine;

    Fetcher() : Fetcher(ownHosts) {}
    explicit Fetcher(HostConnections& hosts) : engine(sink, hosts)
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
        engine.SetSecure(IsSecureProtocol(u->protocol));
        const bool ok = IsFtpProtocol(u->protocol)
                            ? engine.FtpGet(u->host, u->port, u->remotePath, target, user, password)
                            : engine.HttpGet(u->host, u->port, u->remotePath, target, user, password);
        engine.Close();
        return ok;
    }
    std::string Error() { return engine.ErrorText(); }
};

// The request heads the fault server received since the last call, oldest
// first, each its request line and header lines ended by CR LF. Read
// through an engine of its own, whose request the server leaves out.
inline std::vector<std::string> RequestHeads(const FaultServer& server)
{
    TempDir dir;
    Fetcher f;
    EXPECT_TRUE(f.Get(server.Url("/heads?reset=1"), dir.File("heads"))) << f.Error();
    const std::string all = ReadFile(dir.File("heads"));
    std::vector<std::string> heads;
    for (std::size_t at = 0; at < all.size();) {
        const std::size_t end = all.find("\r\n\r\n", at);
        heads.push_back(all.substr(at, end == std::string::npos ? std::string::npos : end + 2 - at));
        at = end == std::string::npos ? all.size() : end + 4;
    }
    return heads;
}

// Every value of a header in a head (the name in any letter case).
inline std::vector<std::string> HeaderValues(const std::string& head, const std::string& name)
{
    std::vector<std::string> values;
    for (std::size_t at = head.find("\r\n"); at != std::string::npos && at + 2 < head.size();) {
        const std::size_t end = head.find("\r\n", at + 2);
        const std::string line = head.substr(at + 2, end - at - 2);
        const std::size_t colon = line.find(':');
        if (colon == name.size() && strncasecmp(line.c_str(), name.c_str(), name.size()) == 0) {
            values.push_back(line.substr(line.find_first_not_of(' ', colon + 1) == std::string::npos
                                             ? line.size()
                                             : line.find_first_not_of(' ', colon + 1)));
        }
        at = end;
    }
    return values;
}

}  // namespace dromo::test
