#include "base/storage/historypage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>

#include "base/ports/clock.h"
#include "base/ports/messages.h"
#include "base/ports/shell.h"
#include "base/tasks/tasktable.h"
#include "base/text/progresstexts.h"
#include "base/text/textutil.h"
#include "base/values/globaloptions.h"

namespace dromo {
namespace {

// One record at a time from this program, so two workers finishing together
// never interleave their lines.
std::mutex g_appendMutex;

std::string LocalTimeText(std::int64_t seconds)
{
    static std::mutex localTimeMutex;  // std::localtime shares one buffer
    std::lock_guard lock(localTimeMutex);
    const std::time_t t = static_cast<std::time_t>(seconds);
    const std::tm* local = std::localtime(&t);
    char text[64] = "";
    if (local != nullptr) {
        std::strftime(text, sizeof text, "%m/%d/%Y %H:%M:%S", local);
    }
    return text;
}

std::string Field(const char* label, const std::string& value)
{
    return std::string("<b>") + label + " </b>" + HtmlEscape(value) + "\n";
}

}  // namespace

std::string HtmlEscape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

HistoryPage::HistoryPage(std::string path, const TaskTable& table, const GlobalOptions& options, Clock& clock)
    : m_path(std::move(path)), m_table(table), m_options(options), m_clock(clock)
{
}

std::string HistoryPage::Record(const TaskRecord& task, const TaskRow& row, std::int64_t now)
{
    const std::string& size = row.texts[kColSize];
    const std::size_t of = size.find("of");
    if (size.empty() || size.front() == '0' || of == std::string::npos) {
        return {};
    }
    std::string finishedText = "0";
    std::string totalText = "N/A";
    if (size.size() > 3) {
        finishedText = size.substr(0, of > 0 ? of - 1 : 0);
        totalText = of + 3 <= size.size() ? size.substr(of + 3) : std::string();
    }
    const std::int64_t finishedKB = LeadingNumber(finishedText);
    const std::int64_t totalKB = LeadingNumber(totalText);

    std::int64_t transfer = now - task.checkpointTime;
    std::string transferText = FormatDuration(transfer);
    std::int64_t startKB = task.checkpointKB;
    std::int64_t percent = 0;
    if (task.checkpointKB == -1) {
        startKB = finishedKB;
        transferText = "0";
        transfer = 0;
    } else {
        // A total of 0 would divide by zero; nothing was measured then.
        percent = totalKB != 0 ? (finishedKB - startKB) * 100 / totalKB : 0;
    }
    const double moved = static_cast<double>(finishedKB - startKB);
    const double average = transfer >= 1 ? moved / static_cast<double>(transfer) : moved;

    // The page is no place for a login given inside the URL, wherever the
    // address is quoted.
    const std::string& target = row.texts[kColTarget];
    const std::string status = WithoutLoginOf(target, row.texts[kColStatus]);
    const std::string url = HtmlEscape(UrlWithoutLogin(target));
    std::string out = "<font face=Arial size=2 color=darkblue>\n<p>\n";
    out += "<b>URL </b><a href=\"" + url + "\">" + url + "</a>\n<br>\n";
    out += Field("Save as", task.saveAs) + "<br>\n";
    out += Field("Start", LocalTimeText(task.startTime)) + "<br>\n";
    out += Field("End", LocalTimeText(now)) + "<br>\n";
    out += Field("Site Support Resume", row.texts[kColResume]) + "<br>\n";
    out += Field("Total Time", row.texts[kColTime] + "s") + "<br>\n";
    out += Field("Time spent transferring data", transferText + "s") + "<br>\n";
    out += Field("File Size", totalText + "KB") + "<br>\n";
    out += Field("Start Download at", std::to_string(startKB) + "KB") + "<br>\n";
    out += Field("Finish Download at", finishedText + "KB") + "<br>\n";
    out += Field("Downloaded Percent", std::to_string(percent) + "%") + "<br>\n";
    out += Field("Total Percent", row.texts[kColProgress]) + "<br>\n";
    out += Field("Average Speed", FormatOneDecimal(average) + "KB/s") + "<br>\n";
    out += Field("Retry", row.texts[kColRetry]) + "<br>\n";
    out += Field("Status", status.size() > 9 ? status.substr(9) : status);
    out += "</font></p>\n";
    return out;
}

void HistoryPage::WriteHistoryEntry(TaskId taskId)
{
    if (!m_options.enableLog) {
        return;
    }
    std::string record;
    {
        auto guard = m_table.Lock();
        const int row = m_table.RowOf(taskId);
        if (row < 0) {
            return;
        }
        const std::int64_t now = m_clock.Now();
        m_table.Read(row, [&](const TaskRecord& task, const TaskRow& shown) { record = Record(task, shown, now); });
    }
    if (record.empty()) {
        return;
    }
    std::lock_guard lock(g_appendMutex);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ec);
    // The page names the files and sites a user fetched: private, as the
    // profile, and made so when an older Dromo left it readable by all.
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;  // the record is lost; nothing is reported
    }
    ::fchmod(fd, 0600);
    std::FILE* file = ::fdopen(fd, "a");
    if (file == nullptr) {
        ::close(fd);
        return;
    }
    // One buffered write of the whole record: appended whole, even beside
    // another Dromo appending to the same page.
    std::setvbuf(file, nullptr, _IOFBF, record.size() + 1);
    std::fwrite(record.data(), 1, record.size(), file);
    std::fclose(file);
}

void HistoryPage::View(Shell& shell, Messages& messages) const
{
    if (!std::filesystem::exists(m_path) || !shell.Open(m_path)) {
        messages.Warning("No history.");
    }
}

void HistoryPage::Clear(Messages& messages) const
{
    if (messages.AskOkCancel("This action will permanently clear your download record so far, are you sure?",
                             Ask::Question)) {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
    }
}

}  // namespace dromo
