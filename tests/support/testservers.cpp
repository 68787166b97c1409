#include "tests/support/testservers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace dromo::test {
namespace fs = std::filesystem;

namespace {

std::string SupportFile(const std::string& name)
{
    return std::string(DROMO_TEST_SUPPORT_DIR) + "/" + name;
}

int PortFromLine(const std::string& line, const std::string& what)
{
    if (line.rfind("PORT ", 0) != 0) {
        throw std::runtime_error(what + " did not start: '" + line + "'");
    }
    return std::stoi(line.substr(5));
}

// In a forked child: runs argv with standard output (and error, if asked)
// on the pipe; never returns.
[[noreturn]] void ExecWithOutput(const std::vector<std::string>& argv, int out, bool withErrors,
                                 const std::string& input = "")
{
    dup2(out, STDOUT_FILENO);
    dup2(withErrors ? out : open("/dev/null", O_WRONLY), STDERR_FILENO);
    if (!input.empty()) {
        dup2(open(input.c_str(), O_RDONLY), STDIN_FILENO);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

}  // namespace

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "dromo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    m_pid = fork();
    if (m_pid == 0) {
        setpgid(0, 0);
        ExecWithOutput(argv, pipeFds[1], false);
    }
    close(pipeFds[1]);
    m_out = pipeFds[0];
}

ChildProcess::~ChildProcess()
{
    Stop();
}

namespace {

// The children of a process that lead process groups of their own: a
// signal to the parent's group does not reach them.
std::vector<pid_t> ChildGroupLeaders(pid_t parent)
{
    std::vector<pid_t> leaders;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string stat = ReadFile(entry.path().string() + "/stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream fields(stat.substr(close + 1));
        char state = 0;
        pid_t ppid = 0;
        pid_t group = 0;
        fields >> state >> ppid >> group;
        const pid_t pid = std::atoi(entry.path().filename().c_str());
        if (ppid == parent && group == pid) {
            leaders.push_back(pid);
        }
    }
    return leaders;
}

}  // namespace

void ChildProcess::Stop(int signal)
{
    if (m_pid > 0) {
        for (const pid_t leader : ChildGroupLeaders(m_pid)) {
            kill(-leader, SIGKILL);
        }
        kill(-m_pid, signal);
        kill(m_pid, signal);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (m_pid > 0) {
            kill(-m_pid, SIGKILL);
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
    if (m_out >= 0) {
        close(m_out);
        m_out = -1;
    }
}

bool ChildProcess::Running() const
{
    siginfo_t info{};
    // WNOWAIT leaves an ended process to Stop, which reaps it.
    return m_pid > 0 && waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

int ChildProcess::Terminate(int timeoutMs)
{
    return Signal(SIGTERM, timeoutMs);
}

int ChildProcess::Signal(int signal, int timeoutMs)
{
    if (m_pid <= 0) {
        return -1;
    }
    kill(m_pid, signal);
    if (const std::optional<int> status = Wait(timeoutMs)) {
        return *status;
    }
    Stop();
    return -1;
}

std::optional<int> ChildProcess::Wait(int timeoutMs)
{
    if (m_pid <= 0) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string ChildProcess::ReadLine(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t nl = m_pending.find('\n');
        if (nl != std::string::npos) {
            std::string line = m_pending.substr(0, nl);
            m_pending.erase(0, nl + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) {
            return {};
        }
        pollfd p{m_out, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) {
            return {};
        }
        char buffer[512];
        const ssize_t n = read(m_out, buffer, sizeof buffer);
        if (n <= 0) {
            return {};
        }
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string UseFreshXdgFolders()
{
    std::string pattern = (fs::temp_directory_path() / "dromo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    const fs::path base(pattern);
    for (const char* sub : {"config", "data", "home", "runtime"}) {
        fs::create_directories(base / sub);
    }
    fs::permissions(base / "runtime", fs::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (base / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (base / "data").c_str(), 1);
    setenv("HOME", (base / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (base / "runtime").c_str(), 1);
    return pattern;
}

PrivateSessionBus::PrivateSessionBus() : m_daemon({"dbus-daemon", "--session", "--nofork", "--print-address=1"})
{
    m_address = m_daemon.ReadLine(10000);
    if (m_address.empty()) {
        throw std::runtime_error("dbus-daemon did not start");
    }
    const char* previous = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    m_hadPrevious = previous != nullptr;
    m_previous = previous != nullptr ? previous : "";
    setenv("DBUS_SESSION_BUS_ADDRESS", m_address.c_str(), 1);
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (m_hadPrevious) {
        setenv("DBUS_SESSION_BUS_ADDRESS", m_previous.c_str(), 1);
    } else {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
}

int FreePort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    close(s);
    return ntohs(addr.sin_port);
}

bool WaitForPort(int port, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        const bool ok = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        close(s);
        if (ok) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

bool Exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string out(size, '\0');
    for (char& c : out) {
        c = static_cast<char>(generator() & 0xFF);
    }
    return out;
}

int RunCommand(const std::vector<std::string>& argv, std::string* output, const std::string& input, bool withErrors)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        return -1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        ExecWithOutput(argv, pipeFds[1], withErrors, input);
    }
    close(pipeFds[1]);
    std::string all;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        all.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (output != nullptr) {
        *output = all;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Server::Url(const std::string& scheme, const std::string& path) const
{
    return scheme + "://127.0.0.1:" + std::to_string(m_port) + path;
}

namespace {

std::vector<std::string> FaultServerCommand(const std::string& root, const std::string& certificate,
                                            const std::string& key)
{
    std::vector<std::string> argv{"/usr/bin/python3", SupportFile("faultserver.py"), root};
    if (!certificate.empty()) {
        argv.push_back(certificate);
        argv.push_back(key);
    }
    return argv;
}

}  // namespace

bool MakeSelfSignedCertificate(const std::string& folder)
{
    return RunCommand({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                       "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", folder + "/key.pem",
                       "-out", folder + "/cert.pem"}) == 0;
}

FaultServer::FaultServer(const std::string& root, const std::string& certificate, const std::string& key)
    : m_scheme(certificate.empty() ? "http" : "https"), m_process(FaultServerCommand(root, certificate, key))
{
    m_port = PortFromLine(m_process.ReadLine(10000), "faultserver.py");
}

FtpServer::FtpServer(const std::string& root, const std::string& drops)
    : m_process({"/usr/bin/python3", SupportFile("ftpserver.py"), root, "--drops", drops})
{
    m_port = PortFromLine(m_process.ReadLine(10000), "ftpserver.py");
}

namespace {

// Waits until the server takes connections on the port; false at once when
// it ended instead (a bad config, or the port was taken meanwhile).
bool WaitForServer(const ChildProcess& process, int port, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!process.Running()) {
            return false;
        }
        if (WaitForPort(port, 50)) {
            return true;
        }
    }
    return false;
}

// Starts a server that cannot pick a port of its own on one that was free a
// moment ago, and on another when that one was taken before the server got
// it. `command` writes the server's config for a port and returns the
// command that starts it; the log's text goes into the error when it never
// started.
std::unique_ptr<ChildProcess> StartOnFreePort(int& port, const std::string& what, int timeoutMs, const std::string& log,
                                              const std::function<std::vector<std::string>(int)>& command)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        port = FreePort();
        auto process = std::make_unique<ChildProcess>(command(port));
        if (WaitForServer(*process, port, timeoutMs)) {
            return process;
        }
    }
    const std::string logged = log.empty() ? "" : ReadFile(log);
    throw std::runtime_error(what + " did not start" + (logged.empty() ? "" : ": " + logged));
}

bool RunsAsRoot()
{
    return geteuid() == 0;
}

// Servers started by root hand requests to an unprivileged user: the
// folder and everything in it become readable (and folders passable) to all.
void OpenToAll(const std::string& folder)
{
    if (!RunsAsRoot()) {
        return;
    }
    const auto open = [](const fs::path& p) {
        const bool dir = fs::is_directory(p);
        fs::permissions(p,
                        fs::perms::group_read | fs::perms::others_read |
                            (dir ? fs::perms::group_exec | fs::perms::others_exec : fs::perms::none),
                        fs::perm_options::add);
    };
    open(folder);
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        open(entry.path());
    }
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// "user:hash" for an htpasswd-style file (Apache's Basic login, squid's
// basic_ncsa_auth), with the APR1 MD5 hash both read.
std::string PasswordLine(const std::string& user, const std::string& password)
{
    std::string hash;
    if (RunCommand({"openssl", "passwd", "-apr1", password}, &hash, "", false) != 0) {
        throw std::runtime_error("openssl passwd failed");
    }
    return user + ":" + Trimmed(hash) + "\n";
}

// "user:realm:MD5(user:realm:password)", a line of an htdigest file.
std::string DigestLine(const TempDir& dir, const std::string& user, const std::string& realm,
                       const std::string& password)
{
    const std::string plain = user + ":" + realm + ":" + password;
    WriteFile(dir.File("digest.plain"), plain);
    std::string sum;
    if (RunCommand({"md5sum"}, &sum, dir.File("digest.plain"), false) != 0 || sum.size() < 32) {
        throw std::runtime_error("md5sum failed");
    }
    std::remove(dir.File("digest.plain").c_str());
    return user + ":" + realm + ":" + sum.substr(0, 32) + "\n";
}

}  // namespace

bool MakeTestCa(const std::string& folder, const std::vector<std::string>& hostNames)
{
    const std::string d = folder + "/";
    const std::vector<std::string> ec{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    auto with = [&ec](std::vector<std::string> argv) {
        argv.insert(argv.begin() + 2, ec.begin(), ec.end());
        return argv;
    };
    std::string names = "IP:127.0.0.1";
    for (const std::string& name : hostNames) {
        names += ",DNS:" + name;
    }
    WriteFile(d + "server.ext", "subjectAltName=" + names +
                                    "\nbasicConstraints=CA:FALSE\n"
                                    "keyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n");
    return RunCommand(with({"openssl", "req", "-x509", "-days", "2", "-subj", "/CN=Dromo Test CA", "-addext",
                            "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign", "-keyout",
                            d + "ca-key.pem", "-out", d + "ca.pem"})) == 0 &&
           RunCommand(with({"openssl", "req", "-subj", "/CN=127.0.0.1", "-keyout", d + "key.pem", "-out",
                            d + "server.csr"})) == 0 &&
           RunCommand({"openssl", "x509", "-req", "-in", d + "server.csr", "-CA", d + "ca.pem", "-CAkey",
                       d + "ca-key.pem", "-set_serial", "2", "-days", "2", "-extfile", d + "server.ext", "-out",
                       d + "cert.pem"}) == 0;
}

ScopedEnv::ScopedEnv(const std::string& name, const char* value) : m_name(name)
{
    const char* previous = std::getenv(name.c_str());
    m_hadPrevious = previous != nullptr;
    m_previous = previous != nullptr ? previous : "";
    if (value != nullptr) {
        setenv(name.c_str(), value, 1);
    } else {
        unsetenv(name.c_str());
    }
}

ScopedEnv::~ScopedEnv()
{
    if (m_hadPrevious) {
        setenv(m_name.c_str(), m_previous.c_str(), 1);
    } else {
        unsetenv(m_name.c_str());
    }
}

Nginx::Nginx(const std::string& root, const std::string& serverConfig, const std::string& certificate,
             const std::string& key, bool http2)
    : m_scheme(certificate.empty() ? "http" : "https")
{
    fs::create_directories(m_dir.File("tmp"));
    const std::string d = m_dir.Path();
    const std::string tls = certificate.empty() ? ""
                                                : std::string(" ssl") + (http2 ? " http2" : "") + "; ssl_certificate " +
                                                      certificate + "; ssl_certificate_key " + key;
    m_process = StartOnFreePort(m_port, "nginx", 3000, d + "/error.log", [&](int port) {
        std::ofstream conf(m_dir.File("nginx.conf"), std::ios::trunc);
        if (RunsAsRoot()) {
            conf << "user root root;\n";  // workers must read the test's private folders
        }
        conf
            << "worker_processes 1;\nerror_log " << d << "/error.log;\npid " << d << "/nginx.pid;\n"
            << "events { worker_connections 64; }\nhttp {\n  access_log off;\n  sendfile on;\n"
            << "  client_body_temp_path " << d << "/tmp;\n  proxy_temp_path " << d << "/tmp;\n"
            << "  fastcgi_temp_path " << d << "/tmp;\n  uwsgi_temp_path " << d << "/tmp;\n"
            << "  scgi_temp_path " << d << "/tmp;\n"
            << "  log_format requests '$connection $connection_requests $server_protocol $request_uri $status $msec $request_time';\n"
            << "  server { listen 127.0.0.1:" << port << tls << "; root " << root << "; access_log " << d
            << "/access.log requests; " << serverConfig << " }\n}\n";
        return std::vector<std::string>{"/usr/sbin/nginx", "-c", m_dir.File("nginx.conf"), "-p", d, "-g",
                                        "daemon off;"};
    });
}

std::vector<Nginx::Logged> Nginx::Requests(std::size_t count, int timeoutMs) const
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::vector<Logged> requests;
        std::istringstream lines(ReadFile(m_dir.File("access.log")));
        Logged r;
        while (lines >> r.connection >> r.onConnection >> r.protocol >> r.uri >> r.status >> r.end >> r.seconds) {
            requests.push_back(r);
        }
        if (requests.size() >= count || std::chrono::steady_clock::now() >= until) {
            return requests;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

Tinyproxy::Tinyproxy(const std::string& login)
{
    m_process = StartOnFreePort(m_port, "tinyproxy", 3000, "", [&](int port) {
        std::ofstream conf(m_dir.File("tinyproxy.conf"), std::ios::trunc);
        conf << "Port " << port << "\nListen 127.0.0.1\nTimeout 60\nMaxClients 20\n"
             << "LogLevel Critical\nAllow 127.0.0.1\n";
        if (!login.empty()) {
            const std::size_t colon = login.find(':');
            conf << "BasicAuth " << login.substr(0, colon) << " " << login.substr(colon + 1) << "\n";
        }
        return std::vector<std::string>{"/usr/bin/tinyproxy", "-d", "-c", m_dir.File("tinyproxy.conf")};
    });
}

Apache::Apache(const std::string& root, const std::string& serverConfig)
{
    const std::string d = m_dir.Path();
    WriteFile(m_dir.File("basic.users"), PasswordLine(kUser, kPassword));
    WriteFile(m_dir.File("digest.users"), DigestLine(m_dir, kUser, kRealm, kPassword));
    OpenToAll(root);
    OpenToAll(d);  // the workers read the password files
    const std::string modules = "/usr/lib/apache2/modules/";
    m_process = StartOnFreePort(m_port, "apache2", 5000, d + "/error.log", [&](int port) {
        std::ofstream conf(m_dir.File("httpd.conf"), std::ios::trunc);
        conf << "ServerRoot " << d << "\nServerName 127.0.0.1\nListen 127.0.0.1:" << port << "\n"
             << "PidFile " << d << "/httpd.pid\nErrorLog " << d << "/error.log\nLogLevel warn\n"
             << "DefaultRuntimeDir " << d << "\nMutex file:" << d << " default\n"
             << "CustomLog " << d << "/access.log \"%r %>s\"\n";
        if (RunsAsRoot()) {
            conf << "User nobody\nGroup nogroup\n";  // Apache refuses to serve as root
        }
        for (const char* module : {"mpm_event", "authn_core", "authn_file", "authz_core", "authz_user", "auth_basic",
                                   "auth_digest", "alias", "rewrite", "ratelimit", "env"}) {
            conf << "LoadModule " << module << "_module " << modules << "mod_" << module << ".so\n";
        }
        conf << "StartServers 1\nServerLimit 1\nThreadsPerChild 16\nMaxRequestWorkers 16\n"
             << "MinSpareThreads 1\nMaxSpareThreads 16\n"
             << "DocumentRoot " << root << "\nAlias /basic/ " << root << "/\nAlias /digest/ " << root << "/\n"
             << "<Directory " << root << ">\n  Require all granted\n</Directory>\n"
             << "<Location /basic/>\n  AuthType Basic\n  AuthName " << kRealm << "\n  AuthBasicProvider file\n"
             << "  AuthUserFile " << d << "/basic.users\n  Require valid-user\n</Location>\n"
             << "<Location /digest/>\n  AuthType Digest\n  AuthName " << kRealm << "\n  AuthDigestDomain /digest/\n"
             << "  AuthDigestProvider file\n  AuthUserFile " << d << "/digest.users\n  Require valid-user\n"
             << "</Location>\n"
             << serverConfig << "\n";
        return std::vector<std::string>{"/usr/sbin/apache2", "-f", m_dir.File("httpd.conf"), "-DFOREGROUND"};
    });
}

std::vector<std::string> Apache::Requests() const
{
    std::vector<std::string> lines;
    std::istringstream log(ReadFile(m_dir.File("access.log")));
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
    }
    return lines;
}

Squid::Squid(const std::string& login, bool tls)
{
    const std::string d = m_dir.Path();
    if (tls && !MakeTestCa(d)) {
        throw std::runtime_error("openssl could not make the test CA");
    }
    if (!login.empty()) {
        const std::size_t colon = login.find(':');
        WriteFile(m_dir.File("passwd"), PasswordLine(login.substr(0, colon), login.substr(colon + 1)));
    }
    if (RunsAsRoot()) {
        // squid drops root for "nobody", which then writes its logs here.
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr || chown(d.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
            throw std::runtime_error("squid: cannot hand the temporary folder to nobody");
        }
        OpenToAll(d);
    }
    // Start-up reads the MIME table and makes its helpers: give it time.
    m_process = StartOnFreePort(m_port, "squid", 15000, d + "/cache.log", [&](int port) {
        std::ofstream conf(m_dir.File("squid.conf"), std::ios::trunc);
        if (tls) {
            conf << "https_port 127.0.0.1:" << port << " tls-cert=" << d << "/cert.pem tls-key=" << d << "/key.pem\n";
        } else {
            conf << "http_port 127.0.0.1:" << port << "\n";
        }
        conf << "visible_hostname dromo-test\n"
             << "pid_filename " << d << "/squid.pid\ncache_log " << d << "/cache.log\n"
             << "access_log stdio:" << d << "/access.log\ncache_store_log none\ncoredump_dir " << d << "\n"
             << "cache deny all\ncache_mem 0 MB\nnetdb_filename none\npinger_enable off\n"
             << "icp_port 0\nhtcp_port 0\nshutdown_lifetime 0 seconds\nmax_filedescriptors 1024\n"
             << "dns_nameservers 127.0.0.1\n"  // nothing beyond the loopback, ever
             << "acl local src 127.0.0.1/32\n";
        if (RunsAsRoot()) {
            conf << "cache_effective_user nobody\n";
        }
        if (login.empty()) {
            conf << "http_access allow local\n";
        } else {
            conf << "auth_param basic program /usr/lib/squid/basic_ncsa_auth " << d << "/passwd\n"
                 << "auth_param basic children 2\nauth_param basic realm dromo\n"
                 << "acl login proxy_auth REQUIRED\nhttp_access allow local login\n";
        }
        // No Safe_ports or SSL_ports rules: CONNECT may go to any port.
        conf << "http_access deny all\n";
        return std::vector<std::string>{"/usr/sbin/squid", "-N", "-f", m_dir.File("squid.conf")};
    });
}

Squid::~Squid()
{
    m_process->Stop(SIGKILL);
}

bool Squid::Logged(const std::string& text, int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (AccessLog().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string Squid::AccessLog() const
{
    return ReadFile(m_dir.File("access.log"));
}

Microsocks::Microsocks(const std::string& login, const std::vector<std::string>& ownNames)
{
    std::string hosts;
    for (const std::string& name : ownNames) {
        hosts += "127.0.0.1 " + name + "\n";
    }
    WriteFile(m_dir.File("hosts"), hosts);
    m_process = StartOnFreePort(m_port, "microsocks", 3000, "", [&](int port) {
        std::vector<std::string> argv = {"microsocks", "-i", "127.0.0.1", "-p", std::to_string(port)};
        if (!ownNames.empty()) {
            argv.insert(argv.begin(),
                        {"env", "LD_PRELOAD=libnss_wrapper.so", "NSS_WRAPPER_HOSTS=" + m_dir.File("hosts")});
        }
        if (!login.empty()) {
            const std::size_t colon = login.find(':');
            argv.insert(argv.end(), {"-u", login.substr(0, colon), "-P", login.substr(colon + 1)});
        }
        return argv;
    });
}

Vsftpd::Vsftpd(const std::string& root, Tls tls) : m_tls(tls)
{
    const std::string d = m_dir.Path();
    if (tls != Tls::None && !MakeTestCa(d)) {
        throw std::runtime_error("openssl could not make the test CA");
    }
    fs::create_directories(m_dir.File("empty"));
    OpenToAll(root);
    OpenToAll(d);
    m_process = StartOnFreePort(m_port, "vsftpd", 5000, d + "/vsftpd.log", [&](int port) {
        std::ofstream conf(m_dir.File("vsftpd.conf"), std::ios::trunc);
        conf << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" << port << "\n"
             << "background=NO\nanonymous_enable=YES\nno_anon_password=NO\nanon_root=" << root << "\n"
             << "local_enable=NO\nwrite_enable=NO\nallow_writeable_chroot=YES\n"
             << "secure_chroot_dir=" << d << "/empty\n"
             << "pasv_enable=YES\npasv_address=127.0.0.1\nport_enable=YES\nconnect_from_port_20=NO\n"
             << "xferlog_enable=YES\nxferlog_std_format=NO\nlog_ftp_protocol=YES\n"
             << "vsftpd_log_file=" << d << "/vsftpd.log\nseccomp_sandbox=NO\n"
             << "delay_failed_login=0\n";
        if (tls != Tls::None) {
            const char* forced = tls == Tls::Offered ? "NO" : "YES";
            conf << "ssl_enable=YES\nrsa_cert_file=" << d << "/cert.pem\nrsa_private_key_file=" << d << "/key.pem\n"
                 << "allow_anon_ssl=YES\nforce_anon_logins_ssl=" << forced << "\nforce_anon_data_ssl=" << forced << "\n"
                 << "ssl_tlsv1=YES\nssl_sslv2=NO\nssl_sslv3=NO\nrequire_ssl_reuse=NO\nssl_ciphers=HIGH\n"
                 << (tls == Tls::Implicit ? "implicit_ssl=YES\n" : "");
        }
        if (!RunsAsRoot()) {
            conf << "run_as_launching_user=YES\n";  // no user switch and no chroot
        }
        return std::vector<std::string>{"/usr/sbin/vsftpd", m_dir.File("vsftpd.conf")};
    });
}

std::vector<std::string> Vsftpd::Commands() const
{
    // Each line: "DATE [pid N] [USER] FTP command: Client "127.0.0.1", "USER anonymous"".
    const std::string marker = "FTP command: Client \"127.0.0.1\", \"";
    std::vector<std::string> commands;
    std::istringstream log(ReadFile(m_dir.File("vsftpd.log")));
    for (std::string line; std::getline(log, line);) {
        const std::size_t at = line.find(marker);
        if (at != std::string::npos && line.size() > at + marker.size() && line.back() == '"') {
            commands.push_back(line.substr(at + marker.size(), line.size() - at - marker.size() - 1));
        }
    }
    return commands;
}

}  // namespace dromo::test
