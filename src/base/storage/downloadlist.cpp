#include "base/storage/downloadlist.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#include "base/commands/taskadder.h"
#include "base/tasks/tasktable.h"
#include "base/text/digestlist.h"
#include "base/text/mirrorlist.h"
#include "base/text/piecehashes.h"
#include "base/text/privateprofile.h"
#include "base/text/textutil.h"
#include "base/values/globaloptions.h"

namespace dromo {
namespace {

// Reads one section's values over those of a template record.
void ReadTask(const PrivateProfile& file, const std::string& section, TaskRecord& r, std::string& proxy,
              std::int32_t& proxyPort, std::string& proxyUser, std::string& proxyPassword)
{
    r.user = file.GetString(section, "user", r.user);
    r.password = file.GetString(section, "pass", r.password);
    r.autoSave = file.GetString(section, "autosave", r.autoSave);
    r.httpVersion = file.GetString(section, "httpver", r.httpVersion);
    r.idleTime = file.GetInt(section, "idletime", r.idleTime);
    r.connections = ClampConnections(file.GetInt(section, "connections", r.connections));
    r.speedLimit = file.GetInt(section, "speed", r.speedLimit);
    r.errorCount = file.GetInt(section, "errcount", r.errorCount);
    r.retryInterval = file.GetInt(section, "interval", r.retryInterval);
    r.refresh = file.GetInt(section, "refresh", r.refresh);
    r.pasvMode = file.GetInt(section, "mode", r.pasvMode);
    r.startAt = file.GetString(section, "startAt", r.startAt);
    r.duration = file.GetInt(section, "duration", r.duration);
    // Read as the user wrote it; a value that cannot be read stays, so
    // the task fails with the reason instead of going unchecked.
    r.checksum = file.GetString(section, "checksum", r.checksum);
    if (const std::optional<DigestList> digests = DigestList::Parse(r.checksum)) {
        r.checksum = digests->Stored();
    }
    // Mirrors and pieces only help: a value that cannot be read is left out.
    const std::optional<MirrorList> mirrors = MirrorList::Parse(file.GetLongString(section, "mirrors", r.mirrors));
    r.mirrors = mirrors ? mirrors->Stored() : "";
    const std::optional<PieceHashes> pieces = PieceHashes::Parse(file.GetLongString(section, "pieces", r.pieces));
    r.pieces = pieces ? pieces->Stored() : "";
    proxy = file.GetString(section, "proxy", proxy);
    proxyPort = file.GetInt(section, "proxyport", proxyPort);
    proxyUser = file.GetString(section, "proxyuser", proxyUser);
    proxyPassword = file.GetString(section, "proxypwd", proxyPassword);
}

// Points the record at the list's entry for this proxy, appending one when
// the list has none; an empty host means no proxy.
void UseProxy(TaskRecord& r, const std::string& host, std::int32_t port, const std::string& user,
              const std::string& password, ProxyList& proxies, TaskTable& table)
{
    if (host.empty()) {
        r.useProxy = 0;
        return;
    }
    const auto port16 = static_cast<std::int16_t>(port);
    auto guard = table.Lock();
    std::size_t index = 0;
    while (index < proxies.size() && !(EqualsIgnoreCase(proxies[index].host, host) && proxies[index].port == port16)) {
        ++index;
    }
    if (index == proxies.size()) {
        proxies.push_back(ProxyEntry{host, port16, user, password});
    }
    r.useProxy = 1;
    r.proxyIndex = static_cast<std::int32_t>(index);
}

// The numbers n of the sections "Task<n>" the file holds, 1 <= n <= num, in
// ascending order: the sections the classic loop from 1 to num would find,
// without walking the numbers the file does not hold (a count of 999999999
// costs nothing). Numbers are written without leading zeros, so "Task01"
// is no section of the loop.
std::vector<std::int32_t> TaskNumbers(const PrivateProfile& file, std::int32_t num)
{
    std::vector<std::int32_t> numbers;
    for (const std::string& name : file.Sections()) {
        const std::string_view digits = std::string_view(name).substr(std::min<std::size_t>(name.size(), 4));
        if (name.compare(0, 4, "task") != 0 || digits.empty() || digits.front() == '0' ||
            digits.find_first_not_of("0123456789") != std::string_view::npos) {
            continue;
        }
        std::int32_t n = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (error == std::errc() && end == digits.data() + digits.size() && n <= num) {
            numbers.push_back(n);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// A text value as the reader gives it back. The reader trims blanks around a
// value and takes one pair of double quotes off it, so a value with either
// (a password ending in a blank, a quoted name) goes out inside quotes;
// every other value goes out as it is.
std::string Quoted(const std::string& value)
{
    const bool blanks = TrimBlanks(value).size() != value.size();
    const bool quotes = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return blanks || quotes ? '"' + value + '"' : value;
}

// The proxy entry the task's section names; null when it uses none.
const ProxyEntry* ProxyOf(const TaskRecord& r, const ProxyList& proxies)
{
    const bool named = r.useProxy && r.proxyIndex >= 0 && r.proxyIndex < static_cast<std::int32_t>(proxies.size());
    return named ? &proxies[static_cast<std::size_t>(r.proxyIndex)] : nullptr;
}

// Whether every text the task's section would hold stands on its line. A
// line break inside one would end the value there and make the rest a line
// of its own: a key of the writer's choosing ("saveas=/elsewhere/.bashrc")
// or a section. The classic reader knows no escape, and classic files are
// full of backslashes (Windows paths), so no escape of ours could be told
// from a classic value; the task is left out instead. A carriage return
// counts: readers take it for a line end too.
bool FitsOnLines(const std::string& url, const TaskRecord& r, const ProxyList& proxies)
{
    auto fits = [](const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; };
    const ProxyEntry* p = ProxyOf(r, proxies);
    if (p != nullptr && !(fits(p->host) && fits(p->user) && fits(p->password))) {
        return false;
    }
    if (r.scheduled && !fits(r.startAt)) {
        return false;
    }
    return fits(url) && fits(r.saveAs) && fits(r.user) && fits(r.password) && fits(r.autoSave) && fits(r.httpVersion) &&
           fits(r.checksum) && fits(r.mirrors) && fits(r.pieces);
}

// Section "Task<n>" of one task, ended by an empty line.
void WriteSection(std::ostream& out, int n, const std::string& url, const TaskRecord& r, const ProxyList& proxies)
{
    out << "[Task" << n << "]\n"
        << "url=" << Quoted(url) << "\n"
        << "saveas=" << Quoted(r.saveAs) << "\n"
        << "user=" << Quoted(r.user) << "\n"
        << "pass=" << Quoted(r.password) << "\n"
        << "idletime=" << r.idleTime << "\n"
        << "speed=" << r.speedLimit << "\n"
        << "errcount=" << r.errorCount << "\n"
        << "interval=" << r.retryInterval << "\n"
        << "autosave=" << Quoted(r.autoSave) << "\n"
        << "refresh=" << r.refresh << "\n"
        << "mode=" << r.pasvMode << "\n"
        << "httpver=" << Quoted(r.httpVersion) << "\n"
        << "connections=" << r.connections << "\n";
    if (const ProxyEntry* p = ProxyOf(r, proxies)) {
        out << "proxy=" << Quoted(p->host) << "\nproxyport=" << p->port << "\nproxyuser=" << Quoted(p->user)
            << "\nproxypwd=" << Quoted(p->password) << "\n";
    }
    if (!r.checksum.empty()) {
        out << "checksum=" << Quoted(r.checksum) << "\n";
    }
    if (!r.mirrors.empty()) {
        out << "mirrors=" << Quoted(r.mirrors) << "\n";
    }
    if (!r.pieces.empty()) {
        out << "pieces=" << Quoted(r.pieces) << "\n";
    }
    if (r.scheduled) {
        out << "startAt=" << Quoted(r.startAt) << "\n";
        if (!r.untilFinished) {
            out << "duration=" << r.duration << "\n";
        }
    }
    out << "\n";
}

}  // namespace

std::string DownloadList::WithExtension(const std::string& path)
{
    const bool has = path.size() >= 4 && EqualsIgnoreCase(path.substr(path.size() - 4), ".lst");
    return has ? path : path + ".lst";
}

DownloadList::ListText DownloadList::Write(const TaskTable& table, const std::vector<int>& rows,
                                           const ProxyList& proxies)
{
    auto guard = table.Lock();
    std::vector<int> valid;
    for (int row : rows) {
        if (table.ValidRow(row)) {
            valid.push_back(row);
        }
    }
    std::sort(valid.begin(), valid.end());  // row order, whatever order the selection came in
    valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
    ListText list;
    std::ostringstream sections;
    int written = 0;
    for (int row : valid) {
        const TaskRecord r = *table.CopyOut(row);
        const std::string url = table.RowCopy(row).texts[kColTarget];
        if (!FitsOnLines(url, r, proxies)) {
            list.leftOut.push_back(row);
            continue;
        }
        WriteSection(sections, ++written, url, r, proxies);
    }
    list.text = "[Settings]\nnum=" + std::to_string(written) + "\n\n" + sections.str();
    return list;
}

int DownloadList::Load(const std::string& text, const GlobalOptions& options, ProxyList& proxies, TaskTable& table,
                       TaskAdder& adder)
{
    const PrivateProfile file(text);
    const std::int32_t num = file.GetInt("Settings", "num", 0);
    if (num <= 0) {
        return 0;
    }
    TaskRecord base;
    base.user = options.username;
    base.password = options.password;
    base.autoSave = options.autoSave;
    base.httpVersion = options.httpVersion;
    base.idleTime = options.maxIdleTime;
    base.connections = options.connectionsPerTask;
    base.speedLimit = options.maxSpeedValue;
    base.errorCount = options.maxErrorCount;
    base.retryInterval = options.retryInterval;
    base.refresh = options.refreshRate;
    base.pasvMode = options.pasvMode;
    base.startAt = "";
    base.duration = -1;
    std::string proxy;
    std::int32_t proxyPort = 80;
    std::string proxyUser;
    std::string proxyPassword;
    ReadTask(file, "Settings", base, proxy, proxyPort, proxyUser, proxyPassword);
    UseProxy(base, proxy, proxyPort, proxyUser, proxyPassword, proxies, table);

    int added = 0;
    for (const std::int32_t n : TaskNumbers(file, num)) {
        const std::string section = "Task" + std::to_string(n);
        const std::string url = file.GetString(section, "url", "");
        if (url.empty()) {
            continue;
        }
        TaskRecord r = base;
        r.saveAs = file.GetString(section, "saveas", "");
        std::string host = proxy;
        std::int32_t port = proxyPort;
        std::string user = proxyUser;
        std::string password = proxyPassword;
        ReadTask(file, section, r, host, port, user, password);
        r.scheduled = r.startAt.empty() ? 0 : 1;
        r.untilFinished = r.duration == -1 ? 1 : 0;
        if (r.startAt.empty()) {
            r.startAt = "22:00";
        }
        if (r.duration == -1) {
            r.duration = 30;
        }
        UseProxy(r, host, port, user, password, proxies, table);
        if (adder.AddTaskFromRecord(url, r) == AddResult::Added) {
            ++added;
        }
    }
    return added;
}

int DownloadList::LoadFile(const std::string& path, const GlobalOptions& options, ProxyList& proxies, TaskTable& table,
                           TaskAdder& adder)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return -1;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return Load(text.str(), options, proxies, table, adder);
}

}  // namespace dromo
