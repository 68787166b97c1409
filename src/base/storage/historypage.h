#pragma once

#include <cstdint>
#include <string>

#include "base/ports/historywriter.h"

namespace dromo {

class Clock;
class Messages;
class Shell;
class TaskTable;
struct GlobalOptions;
struct TaskRecord;
struct TaskRow;

// The download history: one HTML fragment appended per finished run to
// "history.htm", which a browser shows as one page.
class HistoryPage : public HistoryWriter {
public:
    HistoryPage(std::string path, const TaskTable& table, const GlobalOptions& options, Clock& clock);

    const std::string& Path() const { return m_path; }

    // With "Enable Log" on and a size text of the form "N of M", appends the
    // task's record (called by a worker with the task-table lock held).
    void WriteHistoryEntry(TaskId taskId) override;

    // The record's text, or "" when the row's size text has no "of" or
    // begins with "0". Every text in it is HTML-escaped.
    static std::string Record(const TaskRecord& task, const TaskRow& row, std::int64_t now);

    // "View History": opens the page, or says there is none.
    void View(Shell& shell, Messages& messages) const;
    // "Clear History": asks, then deletes the page.
    void Clear(Messages& messages) const;

private:
    std::string m_path;
    const TaskTable& m_table;
    const GlobalOptions& m_options;
    Clock& m_clock;
};

// Text made safe to stand in HTML, as element text or an attribute value.
std::string HtmlEscape(const std::string& text);

}  // namespace dromo
