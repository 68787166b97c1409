// dromo-fetch: one transfer through Dromo's engine, from the command line.
// Prints every progress event on its own line: kind, bytes, speed, text.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include <sys/stat.h>
#include "base/text/digestlist.h"
#include "base/text/metalinkdocument.h"
#include "base/text/parseurl.h"
#include "base/text/progresstexts.h"
#include "base/text/textutil.h"
#include "base/text/trace.h"
#include "base/text/variantchoice.h"
#include "base/values/globaloptions.h"
#include "base/values/taskrecord.h"
#include "engine/curlengine.h"
#include "engine/digestcheck.h"
#include "engine/metalinkcommand.h"
#include "engine/metalinkxml.h"

namespace {

class PrintingSink : public dromo::ProgressSink {
public:
    bool quiet = false;
    void OnProgress(const dromo::Progress& p) override
    {
        if (quiet && p.kind == dromo::ProgressKind::Bytes) {
            return;
        }
        std::printf("%d %lld %lld %s\n", static_cast<int>(p.kind), static_cast<long long>(p.bytes),
                    static_cast<long long>(p.speed), p.text.c_str());
        std::fflush(stdout);
    }
};

void Usage(std::FILE* out)
{
    std::fprintf(out,
                 "Usage: dromo-fetch [options] URL TARGET\n"
                 "       dromo-fetch [options] --metalink FILE TARGET\n"
                 "       dromo-fetch [options] URL-of-a-Metalink TARGET\n"
                 "       dromo-fetch [options] [--variant V] PLAYLIST_URL TARGET\n"
                 "Downloads URL (http://, https://, ftp:// or ftps://) to the file TARGET through Dromo's engine,\n"
                 "resuming TARGET+++ when it exists. Prints each event as: kind bytes speed text.\n"
                 "Exit status 0 on success; 1 on failure, after printing the error text.\n\n"
                 "  --speed KB           speed limit in KB/s (-1: none), shared by all connections\n"
                 "  --connections N      up to N connections (1..16, default 1; for --metalink one per\n"
                 "                       mirror) for one HTTP(S) file\n"
                 "                       of more than 2 MiB whose server sends byte ranges\n"
                 "  --idle S             idle time-out in seconds (default 120): less than one byte\n"
                 "                       a second for that long ends the transfer\n"
                 "  --refresh MS         at most one byte-count event per MS milliseconds (default 200)\n"
                 "  --autosave KB        write data to disk at least every KB kilobytes (default 64)\n"
                 "  --pasv 0|1           FTP passive mode (default 1)\n"
                 "  --http-version V     2 (HTTP/2 where a TLS server offers it; the default),\n"
                 "                       1.1, 1.0 or 0.9\n"
                 "  --user-agent UA      HTTP user agent\n"
                 "  --proxy HOST:PORT    HTTP proxy (FTP goes through its tunnel)\n"
                 "  --proxy-user U       proxy login\n"
                 "  --proxy-password P   (visible to other users in the process list: prefer\n"
                 "                       DROMO_FETCH_PROXY_PASSWORD or --proxy-password-stdin)\n"
                 "  --proxy-password-stdin  read the proxy password from the first line of standard\n"
                 "                       input (the second when --password-stdin is given too)\n"
                 "  --user U             server login, for the URL's server only (for --metalink\n"
                 "                       the most wanted mirror's)\n"
                 "  --password P         (visible in the process list: prefer DROMO_FETCH_PASSWORD\n"
                 "                       or --password-stdin)\n"
                 "  --password-stdin     read the server password from the first line of standard input\n"
                 "  --cookies 0|1        keep cookies across redirects\n"
                 "  --abort-after MS     abort the transfer after MS milliseconds (for tests)\n"
                 "  --checksum ALG=HEX   the digest the file must have (sha-256, sha-512, sha-1, md5;\n"
                 "                       several joined by commas: the strongest is checked); exit\n"
                 "                       status 0 only when the file matches it\n"
                 "  --metalink FILE      download the first file a Metalink file (.meta4, .metalink)\n"
                 "                       lists, its pieces from all its HTTP(S) mirrors at once with\n"
                 "                       --connections above 1 (the most wanted leading, the next\n"
                 "                       when it fails; a failing mirror is left); exit status 0\n"
                 "                       only when the file matches the Metalink's hash. Without\n"
                 "                       --checksum, a URL whose name ends in .meta4 or .metalink\n"
                 "                       is fetched and used the same way\n"
                 "  --variant V          for a video stream (an HLS playlist or a DASH manifest): the\n"
                 "                       variant to record: best (default), lowest, a height (720p),\n"
                 "                       a resolution (1280x720) or a bandwidth (2500k); the best one\n"
                 "                       not above it. Its segments come over --connections at once\n"
                 "                       and become one file without re-encoding (.mp4 unless TARGET\n"
                 "                       names .mkv or .ts)\n"
                 "  --quiet              leave out the byte-count events\n"
                 "  --trace              tell what happens on standard error, each line beginning\n"
                 "                       [trace] (also DROMO_TRACE=1)\n\n"
                 "Environment: DROMO_FETCH_PASSWORD and DROMO_FETCH_PROXY_PASSWORD give the passwords\n"
                 "when no option does. A login written into the URL shows in the process list too.\n");
}

// One line of standard input without its line end; false at the end of
// input before any character.
bool ReadSecretLine(std::string& line)
{
    line.clear();
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n') {
        line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return c != EOF || !line.empty();
}

bool ToInt(const std::string& text, long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end != text.c_str() && *end == '\0';
}

// What the command line asks for beyond the engine's own settings.
struct CommandLine {
    std::string user, password, proxy, proxyUser, proxyPassword;
    // Passwords kept out of argv, where every user can read them: the
    // environment, then standard input, and the old options still work.
    bool passwordGiven = false;
    bool proxyPasswordGiven = false;
    bool passwordFromStdin = false;
    bool proxyPasswordFromStdin = false;
    long abortAfter = -1;
    std::optional<dromo::DigestList> checksum;
    std::string metalink;       // the Metalink file whose first file is fetched
    std::string metalinkShown;  // how messages name it: its URL when it was fetched
    bool connectionsGiven = false;
    long connections = 1;
    std::string positional[2];
    int positionals = 0;
};

// A numeric option's value, handed to the engine; an exit code when it is
// not one the option takes.
std::optional<int> TakeNumber(const std::string& option, int which, long n, dromo::CurlEngine& engine,
                              CommandLine& line)
{
    switch (which) {
    case 0: engine.SetSpeedLimit(static_cast<std::int32_t>(n)); break;
    case 1: engine.SetIdleTime(static_cast<std::int32_t>(n)); break;
    case 2: engine.SetRefresh(static_cast<std::int32_t>(n)); break;
    case 3: engine.SetAutoSave(static_cast<std::int32_t>(n)); break;
    case 4: engine.SetPasvMode(static_cast<std::int32_t>(n)); break;
    case 5: engine.SetCookies(static_cast<std::int32_t>(n)); break;
    case 6: line.abortAfter = n; break;
    case 7:
        if (n < dromo::kMinConnections || n > dromo::kMaxConnections) {
            std::fprintf(stderr, "dromo-fetch: %s takes %d to %d, not %ld\n", option.c_str(), dromo::kMinConnections,
                         dromo::kMaxConnections, n);
            return 2;
        }
        engine.SetConnections(static_cast<std::int32_t>(n));
        line.connections = n;
        break;
    }
    return std::nullopt;
}

// Reads the options into the engine and `line`; an exit code when the
// program ends here (help, or a mistake already reported).
std::optional<int> ParseArguments(int argc, char** argv, dromo::CurlEngine& engine, PrintingSink& sink,
                                  CommandLine& line)
{
    const std::map<std::string, int> numeric = {{"--speed", 0},       {"--idle", 1},       {"--refresh", 2},
                                                {"--autosave", 3},    {"--pasv", 4},       {"--cookies", 5},
                                                {"--abort-after", 6}, {"--connections", 7}};
    const std::map<std::string, std::string CommandLine::*> texts = {{"--proxy", &CommandLine::proxy},
                                                                     {"--proxy-user", &CommandLine::proxyUser},
                                                                     {"--proxy-password", &CommandLine::proxyPassword},
                                                                     {"--user", &CommandLine::user},
                                                                     {"--password", &CommandLine::password}};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        }
        if (arg == "--quiet") {
            sink.quiet = true;
            continue;
        }
        if (arg == "--trace") {
            dromo::trace::Enable(true);
            continue;
        }
        if (arg == "--password-stdin" || arg == "--proxy-password-stdin") {
            (arg == "--password-stdin" ? line.passwordFromStdin : line.proxyPasswordFromStdin) = true;
            continue;
        }
        line.connectionsGiven = line.connectionsGiven || arg == "--connections";
        if (arg.rfind("--", 0) != 0) {
            if (line.positionals == 2) {
                std::fprintf(stderr, "dromo-fetch: too many arguments\n");
                return 2;
            }
            line.positional[line.positionals++] = arg;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "dromo-fetch: %s needs a value\n", arg.c_str());
            return 2;
        }
        const std::string value = argv[++i];
        if (auto it = numeric.find(arg); it != numeric.end()) {
            long n = 0;
            if (!ToInt(value, n)) {
                std::fprintf(stderr, "dromo-fetch: %s takes a whole number, not '%s'\n", arg.c_str(), value.c_str());
                return 2;
            }
            if (auto stop = TakeNumber(arg, it->second, n, engine, line)) {
                return stop;
            }
        } else if (arg == "--http-version") {
            engine.SetHttpVersion(value);
        } else if (arg == "--user-agent") {
            engine.SetUserAgent(value);
        } else if (arg == "--checksum") {
            std::string reason;
            line.checksum = dromo::DigestList::Parse(value, &reason);
            if (!line.checksum || line.checksum->Empty()) {
                std::fprintf(stderr, "dromo-fetch: --checksum %s: %s\n", value.c_str(),
                             reason.empty() ? "no checksum given" : reason.c_str());
                return 2;
            }
            engine.SetExpectedDigests(value);
        } else if (arg == "--metalink") {
            line.metalink = value;
        } else if (arg == "--variant") {
            const std::optional<dromo::VariantChoice> choice = dromo::VariantChoice::Parse(value);
            if (!choice) {
                std::fprintf(stderr,
                             "dromo-fetch: --variant takes best, lowest, a height (720p), a resolution "
                             "(1280x720) or a bandwidth (2500k), not '%s'\n",
                             value.c_str());
                return 2;
            }
            engine.SetStreamVariant(choice->Stored());
        } else if (auto text = texts.find(arg); text != texts.end()) {
            line.*text->second = value;
            line.passwordGiven = line.passwordGiven || arg == "--password";
            line.proxyPasswordGiven = line.proxyPasswordGiven || arg == "--proxy-password";
        } else {
            std::fprintf(stderr, "dromo-fetch: unknown option %s (see --help)\n", arg.c_str());
            return 2;
        }
    }
    if (line.positionals != (line.metalink.empty() ? 2 : 1) || (!line.metalink.empty() && line.checksum)) {
        Usage(stderr);
        return 2;
    }
    return std::nullopt;
}

// The passwords not given as options: from standard input when asked,
// else from the environment. False when standard input had none.
bool ReadPasswords(CommandLine& line)
{
    const struct {
        bool fromStdin;
        bool given;
        const char* variable;
        std::string& value;
    } secrets[] = {
        {line.passwordFromStdin, line.passwordGiven, "DROMO_FETCH_PASSWORD", line.password},
        {line.proxyPasswordFromStdin, line.proxyPasswordGiven, "DROMO_FETCH_PROXY_PASSWORD", line.proxyPassword}};
    for (const auto& secret : secrets) {
        if (secret.fromStdin) {
            if (!ReadSecretLine(secret.value)) {
                std::fprintf(stderr, "dromo-fetch: no password on standard input\n");
                return false;
            }
        } else if (const char* env = std::getenv(secret.variable); env != nullptr && !secret.given) {
            secret.value = env;
        }
    }
    return true;
}

std::int64_t FileSize(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

// With --checksum, a file the engine found already there was not checked
// on its way in: it is read now, so 0 still means a verified file.
bool Verified(dromo::CurlEngine& engine, const dromo::DigestList& checksum, PrintingSink& sink)
{
    if (!engine.Verified().empty()) {
        return true;
    }
    dromo::DigestCheck check;
    check.Expect(checksum);
    const std::string algorithm = dromo::DigestAlgorithmName(check.Wanted()->algorithm);
    switch (check.Verify(engine.SavedAs(), FileSize(engine.SavedAs()))) {
    case dromo::DigestCheck::Result::Verified:
        sink.OnProgress(dromo::Progress::Status(0, dromo::StatusTimeStamp() + "Verified " + algorithm));
        return true;
    case dromo::DigestCheck::Result::Mismatch:
        std::fprintf(stderr, "Fail - the file does not match its %s checksum\n", algorithm.c_str());
        return false;
    default:
        std::fprintf(stderr, "Error reading %s to verify it: %s\n", engine.SavedAs().c_str(),
                     check.ReadError().c_str());
        return false;
    }
}

// One URL into saveAs; true on success, else the error text in `error`.
bool Fetch(dromo::CurlEngine& engine, const dromo::ParsedUrl& url, const std::string& saveAs, const CommandLine& line,
           std::string& error)
{
    engine.SetSecure(dromo::IsSecureProtocol(url.protocol));
    std::thread aborter;
    if (line.abortAfter >= 0) {
        aborter = std::thread([&engine, abortAfter = line.abortAfter] {
            std::this_thread::sleep_for(std::chrono::milliseconds(abortAfter));
            engine.Abort();
        });
    }
    const bool ok = dromo::IsFtpProtocol(url.protocol)
                        ? engine.FtpGet(url.host, url.port, url.remotePath, saveAs, line.user, line.password)
                        : engine.HttpGet(url.host, url.port, url.remotePath, saveAs, line.user, line.password);
    if (aborter.joinable()) {
        aborter.join();
    }
    error = engine.ErrorText();
    engine.Close();
    return ok;
}

// The first file of a local Metalink file, as the program would add it;
// nothing, with the reason printed, when it cannot be read or used. No more
// than a Metalink file may hold is read: a name may lead to a huge file, or
// to /dev/zero. `source` is the URL it was fetched from ("" for none).
std::optional<dromo::MetalinkTransfer> ReadMetalinkTransfer(const std::string& path, const std::string& shown,
                                                            const std::string& source)
{
    std::ifstream in(path, std::ios::binary);
    std::string text(dromo::kMetalinkMaxBytes + 1, '\0');
    if (in) {
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(in.gcount()));
    }
    if (!in.is_open() || in.bad() || text.size() > dromo::kMetalinkMaxBytes) {
        std::fprintf(stderr, "dromo-fetch: %s: %s\n", shown.c_str(),
                     in.is_open() && !in.bad() ? "larger than a Metalink file may be" : std::strerror(errno));
        return std::nullopt;
    }
    const dromo::MetalinkReading reading = dromo::MetalinkXml().Read(text);
    if (!reading.Ok()) {
        std::fprintf(stderr, "dromo-fetch: %s: %s\n", shown.c_str(), reading.error.c_str());
        return std::nullopt;
    }
    return dromo::FirstMetalinkTransfer(reading, source);
}

// The first file of the Metalink file, its ranges from all its mirrors at
// once (the most wanted leading), until the whole file is there and
// matches its hash. The engine leaves a mirror that fails and lets the
// next one lead, as for a task of the program.
int FetchMetalink(dromo::CurlEngine& engine, const CommandLine& line, PrintingSink& sink)
{
    const std::string& shown = line.metalinkShown.empty() ? line.metalink : line.metalinkShown;
    const std::optional<dromo::MetalinkTransfer> file = ReadMetalinkTransfer(line.metalink, shown, line.metalinkShown);
    if (!file) {
        return 2;
    }
    if (file->digests.Empty()) {
        std::fprintf(stderr, "dromo-fetch: %s gives no hash of %s, so the file could not be verified\n", shown.c_str(),
                     file->name.c_str());
    }
    dromo::PrepareMetalinkTransfer(engine, *file, line.connectionsGiven);
    const std::optional<dromo::ParsedUrl> url = dromo::ParseUrl(file->url);
    CommandLine own = line;
    if (!file->sourceServer) {
        // The login was given for the Metalink's server: the engine sends it
        // to the most wanted mirror's (and no other), so it goes along only
        // when that is the same server.
        own.user.clear();
        own.password.clear();
    }
    std::string error;
    if (!Fetch(engine, *url, line.positional[0], own, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return !file->digests.Empty() && Verified(engine, file->digests, sink) ? 0 : 1;
}

// A Metalink served by a URL: fetched over one connection into a private
// folder, read as a local one would be, and the folder removed whatever came
// of it.
int FetchMetalinkUrl(dromo::CurlEngine& engine, const dromo::ParsedUrl& url, CommandLine& line, PrintingSink& sink)
{
    std::error_code failed;
    std::filesystem::path base = std::filesystem::temp_directory_path(failed);
    std::string folder = (failed ? std::filesystem::path("/tmp") : base).string() + "/dromo-fetch-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        std::fprintf(stderr, "dromo-fetch: cannot make a folder for the Metalink file: %s\n", std::strerror(errno));
        return 1;
    }
    const std::string urlText = line.positional[0];
    line.positional[0] = line.positional[1];  // the target, where FetchMetalink looks for it
    std::string error;
    int status = 1;
    // The document comes over one connection, never more of it written
    // than a Metalink file may hold.
    engine.SetConnections(1);
    engine.SetMaxFileSize(static_cast<std::int64_t>(dromo::kMetalinkMaxBytes));
    const bool fetched = Fetch(engine, url, folder + "/document.meta4", line, error);
    engine.SetConnections(static_cast<std::int32_t>(line.connections));
    engine.SetMaxFileSize(-1);
    if (fetched) {
        line.metalink = engine.SavedAs();
        line.metalinkShown = dromo::UrlWithoutLogin(urlText);
        status = FetchMetalink(engine, line, sink);
    } else if (engine.TooLarge()) {
        std::fprintf(stderr, "dromo-fetch: %s: larger than a Metalink file may be\n",
                     dromo::UrlWithoutLogin(urlText).c_str());
    } else {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
    std::filesystem::remove_all(folder, failed);
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    // A file size limit must fail the write, not kill the process.
    std::signal(SIGXFSZ, SIG_IGN);

    PrintingSink sink;
    dromo::HostConnections hosts;
    dromo::CurlEngine engine(sink, hosts);
    engine.SetPasvMode(1);
    CommandLine line;
    if (auto stop = ParseArguments(argc, argv, engine, sink, line)) {
        return *stop;
    }
    if (!ReadPasswords(line)) {
        return 2;
    }
    engine.SetProxyServer1(line.proxy);
    engine.SetProxyServer2(line.proxy);
    engine.SetProxyUser1(line.proxyUser);
    engine.SetProxyUser2(line.proxyUser);
    engine.SetProxyPassword1(line.proxyPassword);
    engine.SetProxyPassword2(line.proxyPassword);
    if (!line.metalink.empty()) {
        return FetchMetalink(engine, line, sink);
    }
    const auto url = dromo::ParseUrl(line.positional[0]);
    if (!url) {
        std::fprintf(stderr, "dromo-fetch: not an http://, https://, ftp:// or ftps:// URL: %s\n",
                     dromo::UrlWithoutLogin(line.positional[0]).c_str());
        return 2;
    }
    if (dromo::IsMetalinkName(url->remotePath) && !line.checksum) {
        return FetchMetalinkUrl(engine, *url, line, sink);
    }
    std::string error;
    if (!Fetch(engine, *url, line.positional[1], line, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return line.checksum && !Verified(engine, *line.checksum, sink) ? 1 : 0;
}
