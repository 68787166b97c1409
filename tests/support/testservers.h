#pragma once

// Real servers for tests, each on 127.0.0.1 and an ephemeral port, started
// by the test and stopped when the object goes away.

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
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // The next line of output, or "" when none came within the time.
    std::string ReadLine(int timeoutMs);
    void Stop();
    // Sends SIGTERM and waits (at most the time) for the end; the exit
    // status (128 + the signal when one ended it), or -1 when it had to be
    // killed.
    int Terminate(int timeoutMs);
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
    explicit FaultServer(const std::string& root, const std::string& certificate = "",
                         const std::string& key = "");
    std::string Url(const std::string& path) const { return Server::Url(m_scheme, path); }

private:
    std::string m_scheme;
    ChildProcess m_process;
};

// Makes a self-signed certificate for 127.0.0.1 and its key in a folder.
bool MakeSelfSignedCertificate(const std::string& folder);

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
    // `serverConfig` goes into the server block (locations, types).
    explicit Nginx(const std::string& root, const std::string& serverConfig = "");
    std::string Url(const std::string& path) const { return Server::Url("http", path); }

private:
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

}  // namespace dromo::test
