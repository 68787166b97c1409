#pragma once

#include <map>
#include <string>
#include <vector>

#include <curl/curl.h>

#include "base/text/cookiejar.h"

namespace dromo {

// The cookie jar of the task an engine runs, kept in memory for as long as
// the engine runs that task. Every libcurl handle of the task (each
// connection, each round and attempt) is loaded with it, so libcurl picks
// for each request and each hop of a redirect what a browser would send:
// domain and host-only matching, the longest path first, Secure cookies
// over TLS only (and to the loopback host). What a handle's servers set or
// removed comes back into the jar when the handle is done, for the task's
// later handles.
//
// The handles exchange cookies through this jar, not through a libcurl
// share: a handle takes one share, and theirs is the program's (names and
// TLS sessions of every task), which must never carry a task's cookies to
// another task.
class TaskCookies {
public:
    // The next Begin starts the jar afresh: another task, or other cookies
    // handed over for it.
    void Restart() { m_fresh = true; }
    // Starts a transfer call with these cookies (the browser's): after a
    // Restart the jar is just them; otherwise it keeps what the task's
    // earlier calls learnt from its servers.
    void Begin(const CookieJar& given);
    // Whether the task has cookies to send.
    bool Any() const { return !m_jar.Empty(); }
    // Turns the handle's cookie engine on and loads the jar into it.
    void LoadInto(CURL* easy);
    // Takes back what the handle's servers changed since it was loaded (or
    // last taken from); false for a handle the jar did not load.
    bool TakeFrom(CURL* easy);
    // The handle is freed: a later one at its address is another handle.
    void Forget(CURL* easy) { m_loaded.erase(easy); }

    const CookieJar& Jar() const { return m_jar; }

private:
    static CookieJar Listed(CURL* easy);

    bool m_fresh = true;
    CookieJar m_jar;
    // What each handle held when it was loaded or last taken from.
    std::map<CURL*, CookieJar> m_loaded;
};

}  // namespace dromo
