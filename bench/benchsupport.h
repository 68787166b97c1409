#pragma once

// Ports the benchmarks need but do not measure: nothing is shown, played,
// scanned or recorded.

#include <string>

#include "base/ports/completionactions.h"
#include "base/ports/historywriter.h"
#include "base/ports/messages.h"
#include "base/ports/shell.h"
#include "base/ports/sound.h"
#include "base/ports/tasklistobserver.h"

namespace dromo::bench {

class Quiet : public TaskListObserver, public Messages, public Sound, public Shell,
              public CompletionActions, public HistoryWriter {
public:
    void RowInserted(int) override {}
    void RowRemoved(int) override {}
    void RowChanged(int, RowParts) override {}
    void StatusTexts(const std::string&, const std::string&, const std::string&) override {}
    void TrayStateChanged(const TrayState&) override {}
    void Warning(const std::string& text) override { last = text; }
    bool AskOkCancel(const std::string&, Ask) override { return true; }
    void Play(const std::string&) override {}
    void Start(const std::string&) override {}
    bool Open(const std::string&) override { return true; }
    bool Start(const std::string&, const std::vector<std::string>&) override { return true; }
    void ScanFile(const std::string&) override {}
    void RedialIfNeeded() override {}
    void CompletionCheck() override {}
    void TaskFailed(const std::string&, const std::string&) override {}
    void FileAlreadyThere(const std::string&) override {}
    int Choose(const std::string&, const std::vector<std::string>&) override { return 0; }
    void WriteHistoryEntry(dromo::TaskId) override {}
    std::string last;
};

}  // namespace dromo::bench
