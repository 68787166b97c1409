#pragma once

// Real servers for tests, each on 127.0.0.1 and an ephemeral port, started
// by the test and stopped when the object goes away.

#include <signal.h>
#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dromo::test {

// A fresh folder under the system's temporary folder, removed with its
// contents at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// A child process whose standard output the test may read line by line.
// Stop ends its process group, and the groups of its children that made
// groups of their own (an FTP server's sessions, a proxy's helpers).
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // The next line of output, or "" when none came within the time.
    std::string ReadLine(int timeoutMs);
    // Sends the signal, and SIGKILL when the process has not ended two
    // seconds later.
    void Stop(int signal = SIGTERM);
    // Sends SIGTERM and waits (at most the time) for the end; the exit
    // status (128 + the signal when one ended it), or -1 when it had to be
    // killed.
    int Terminate(int timeoutMs);
    // False once the process has ended.
    bool Running() const;
    // The same with another signal (SIGKILL for a crash).
    int Signal(int signal, int timeoutMs);
    // Waits (at most the time) for the end without a signal: the exit
    // status, or nothing while it still runs.
    std::optional<int> Wait(int timeoutMs);
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_pending;
};

// Points XDG_CONFIG_HOME, XDG_DATA_HOME, HOME and XDG_RUNTIME_DIR at
// fresh folders under a new temporary folder, which it returns; for a test
// program's main, before Qt first looks at them.
std::string UseFreshXdgFolders();

// A dbus-daemon of the test's own, whose address stands in
// DBUS_SESSION_BUS_ADDRESS while the object lives (restored after).
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;
    const std::string& Address() const { return m_address; }

private:
    ChildProcess m_daemon;
    std::string m_address;
    std::string m_previous;
    bool m_hadPrevious = false;
};

// A port that was free a moment ago (for servers that cannot pick their own).
int FreePort();
bool WaitForPort(int port, int timeoutMs);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);
bool Exists(const std::string& path);
// Deterministic bytes that differ from position to position.
std::string RandomBytes(std::size_t size, unsigned seed);

// Runs a command to its end; returns its exit status and fills its output
// (standard output, and standard error unless `withErrors` is off). With
// `input` set, standard input reads that file.
int RunCommand(const std::vector<std::string>& argv, std::string* output = nullptr, const std::string& input = "",
               bool withErrors = true);

class Server {
public:
    int Port() const { return m_port; }
    std::string Url(const std::string& scheme, const std::string& path) const;

protected:
    int m_port = 0;
};

// tests/support/faultserver.py serving the files of a folder.
class FaultServer : public Server {
public:
    // With a certificate and its key the server speaks HTTPS.
    explicit FaultServer(const std::string& root, const std::string& certificate = "", const std::string& key = "");
    std::string Url(const std::string& path) const { return Server::Url(m_scheme, path); }

private:
    std::string m_scheme;
    ChildProcess m_process;
};

// Makes a self-signed certificate for 127.0.0.1 and its key in a folder.
bool MakeSelfSignedCertificate(const std::string& folder);

// Makes a certificate authority of the test's own (ca.pem) and a
// certificate for 127.0.0.1 signed by it (cert.pem, key key.pem) in a
// folder: what a self-hosted server with a private CA has. The
// certificate names the host names given too.
bool MakeTestCa(const std::string& folder, const std::vector<std::string>& hostNames = {});

// Sets an environment variable (or removes it, for nullptr) while the
// object lives; the previous state comes back after.
class ScopedEnv {
public:
    ScopedEnv(const std::string& name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_previous;
    bool m_hadPrevious = false;
};

// tests/support/ftpserver.py: anonymous and "user"/"secret".
class FtpServer : public Server {
public:
    explicit FtpServer(const std::string& root, const std::string& drops = "");
    std::string Url(const std::string& path) const { return Server::Url("ftp", path); }

private:
    ChildProcess m_process;
};

class Nginx : public Server {
public:
    // `serverConfig` goes into the server block (locations, types). With a
    // certificate and its key the server speaks HTTPS, and with `http2` it
    // offers HTTP/2 in the TLS handshake too.
    explicit Nginx(const std::string& root, const std::string& serverConfig = "", const std::string& certificate = "",
                   const std::string& key = "", bool http2 = false);
    std::string Url(const std::string& path) const { return Server::Url(m_scheme, path); }

    // One request as nginx logged it when it had answered.
    struct Logged {
        std::string connection;  // the connection's serial number
        int onConnection = 0;    // which request of its connection it was (1, 2, ...)
        std::string protocol;    // "HTTP/1.1", "HTTP/2.0"
        std::string uri;
        int status = 0;
        double end = 0;      // when it ended, in seconds since the epoch
        double seconds = 0;  // how long it took, from its first byte read
    };
    // The requests logged so far, waiting (at most the time) until there
    // are at least `count`: nginx logs a request once it has sent the end
    // of the answer, which the client may have read a moment before.
    std::vector<Logged> Requests(std::size_t count, int timeoutMs) const;

private:
    std::string m_scheme;
    TempDir m_dir;
    std::unique_ptr<ChildProcess> m_process;
};

// tinyproxy, optionally requiring a basic login "user:password".
class Tinyproxy : public Server {
public:
    explicit Tinyproxy(const std::string& login = "");

private:
    TempDir m_dir;
    std::unique_ptr<ChildProcess> m_process;
};

// Apache httpd serving a folder at "/", and the same folder again at
// "/basic/" and "/digest/" behind a Basic and a Digest login (kUser,
// kPassword, realm kRealm). Byte ranges as Apache always has them. Run by
// root, the workers run as "nobody", so the folder and its files are made
// readable to all. `serverConfig` goes at the end of the server's config
// (mod_rewrite, mod_ratelimit and mod_env are loaded for it); every request
// is logged as its request line and status.
class Apache : public Server {
public:
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassword = "wonder";
    static constexpr const char* kRealm = "dromo";

    explicit Apache(const std::string& root, const std::string& serverConfig = "");
    std::string Url(const std::string& path) const { return Server::Url("http", path); }
    // A file of the server's folder, for what serverConfig refers to.
    std::string File(const std::string& name) const { return m_dir.File(name); }
    // The request lines logged so far, each followed by its status: "GET /a HTTP/1.1 302".
    std::vector<std::string> Requests() const;

private:
    TempDir m_dir;
    std::unique_ptr<ChildProcess> m_process;
};

// squid as a forward proxy without a cache, optionally requiring a basic
// proxy login "user:password". CONNECT goes to any port of 127.0.0.1, as
// the test servers' ports are ephemeral. With `tls` the engine speaks TLS to
// squid itself (an HTTPS proxy, "https://" + HostPort()), whose certificate
// is signed by a CA of the test's own (CaFile()).
class Squid : public Server {
public:
    explicit Squid(const std::string& login = "", bool tls = false);
    // squid takes a second to shut down in order, and nothing it would
    // write then matters to a test: it is killed.
    ~Squid();
    // "127.0.0.1:port", for the engine's proxy settings.
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(m_port); }
    // Whether squid logged a request line holding the text, waiting for it
    // at most the time: squid logs a request when it ends, a tunnel when
    // both sides have closed it.
    bool Logged(const std::string& text, int timeoutMs) const;
    std::string AccessLog() const;
    std::string CaFile() const { return m_dir.File("ca.pem"); }

private:
    TempDir m_dir;
    std::unique_ptr<ChildProcess> m_process;
};

// microsocks as a SOCKS5 proxy on 127.0.0.1, optionally requiring the
// login "user:password". The host names given resolve to 127.0.0.1 for the
// proxy alone (through nss_wrapper), not for the test: a name only a proxy
// that looks names up itself can reach.
class Microsocks {
public:
    explicit Microsocks(const std::string& login = "", const std::vector<std::string>& ownNames = {});
    // "127.0.0.1:port".
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    int m_port = 0;
    TempDir m_dir;
    std::unique_ptr<ChildProcess> m_process;
};

// vsftpd serving a folder read-only to anonymous logins ("anonymous" or
// "ftp", asking for a password and taking any); any other user is refused
// ("anonymous only"). Passive data connections on ephemeral ports of
// 127.0.0.1. Run by root, sessions run as "ftp" in a chroot, so the folder
// is made readable to all. With TLS, its certificate is signed by a CA of
// the test's own (CaFile()): `Offered` takes AUTH TLS on its one port and
// plain logins alike; `Required` refuses a plain login ("530 Anonymous
// sessions must use encryption.") and takes AUTH TLS; `Implicit` speaks TLS
// from the first byte, as ftps:// URLs do.
class Vsftpd : public Server {
public:
    enum class Tls { None, Offered, Required, Implicit };
    explicit Vsftpd(const std::string& root, Tls tls = Tls::None);
    std::string Url(const std::string& path) const
    {
        return Server::Url(m_tls == Tls::Implicit ? "ftps" : "ftp", path);
    }
    std::string CaFile() const { return m_dir.File("ca.pem"); }
    // The commands the server received so far, every session's in the
    // order they came ("USER anonymous"); a password reads "PASS <password>".
    std::vector<std::string> Commands() const;

private:
    Tls m_tls;
    TempDir m_dir;
    std::unique_ptr<ChildProcess> m_process;
};

}  // namespace dromo::test
