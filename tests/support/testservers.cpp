#include "testservers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

void ChildProcess::Stop()
{
    if (m_pid > 0) {
        kill(-m_pid, SIGTERM);
        kill(m_pid, SIGTERM);
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
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now()).count();
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

PrivateSessionBus::PrivateSessionBus()
    : m_daemon({"dbus-daemon", "--session", "--nofork", "--print-address=1"})
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

int RunCommand(const std::vector<std::string>& argv, std::string* output, const std::string& input,
               bool withErrors)
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
    return RunCommand({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                       "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                       folder + "/key.pem", "-out", folder + "/cert.pem"}) == 0;
}

FaultServer::FaultServer(const std::string& root, const std::string& certificate, const std::string& key)
    : m_scheme(certificate.empty() ? "http" : "https"),
      m_process(FaultServerCommand(root, certificate, key))
{
    m_port = PortFromLine(m_process.ReadLine(10000), "faultserver.py");
}

FtpServer::FtpServer(const std::string& root, const std::string& drops)
    : m_process({"/usr/bin/python3", SupportFile("ftpserver.py"), root, "--drops", drops})
{
    m_port = PortFromLine(m_process.ReadLine(10000), "ftpserver.py");
}

Nginx::Nginx(const std::string& root, const std::string& serverConfig)
{
    fs::create_directories(m_dir.File("tmp"));
    for (int attempt = 0; attempt < 5 && m_process == nullptr; ++attempt) {
        m_port = FreePort();
        std::ofstream conf(m_dir.File("nginx.conf"), std::ios::trunc);
        if (geteuid() == 0) {
            conf << "user root root;\n";  // workers must read the test's private folders
        }
        const std::string d = m_dir.Path();
        conf << "worker_processes 1;\nerror_log " << d << "/error.log;\npid " << d << "/nginx.pid;\n"
             << "events { worker_connections 64; }\nhttp {\n  access_log off;\n  sendfile on;\n"
             << "  client_body_temp_path " << d << "/tmp;\n  proxy_temp_path " << d << "/tmp;\n"
             << "  fastcgi_temp_path " << d << "/tmp;\n  uwsgi_temp_path " << d << "/tmp;\n"
             << "  scgi_temp_path " << d << "/tmp;\n"
             << "  server { listen 127.0.0.1:" << m_port << "; root " << root << "; " << serverConfig << " }\n}\n";
        conf.close();
        auto process = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/sbin/nginx", "-c", m_dir.File("nginx.conf"), "-p", d, "-g", "daemon off;"});
        if (WaitForPort(m_port, 3000)) {
            m_process = std::move(process);
        }
    }
    if (m_process == nullptr) {
        throw std::runtime_error("nginx did not start");
    }
}

Tinyproxy::Tinyproxy(const std::string& login)
{
    for (int attempt = 0; attempt < 5 && m_process == nullptr; ++attempt) {
        m_port = FreePort();
        std::ofstream conf(m_dir.File("tinyproxy.conf"), std::ios::trunc);
        conf << "Port " << m_port << "\nListen 127.0.0.1\nTimeout 60\nMaxClients 20\n"
             << "LogLevel Critical\nAllow 127.0.0.1\n";
        if (!login.empty()) {
            const std::size_t colon = login.find(':');
            conf << "BasicAuth " << login.substr(0, colon) << " " << login.substr(colon + 1) << "\n";
        }
        conf.close();
        auto process = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/tinyproxy", "-d", "-c", m_dir.File("tinyproxy.conf")});
        if (WaitForPort(m_port, 3000)) {
            m_process = std::move(process);
        }
    }
    if (m_process == nullptr) {
        throw std::runtime_error("tinyproxy did not start");
    }
}

}  // namespace dromo::test
