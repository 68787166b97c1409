#include "base/download/progresshandler.h"

#include <memory>
#include <vector>

#include "base/ports/clock.h"
#include "base/ports/sound.h"
#include "base/ports/transferengine.h"
#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/text/progresstexts.h"
#include "base/values/globaloptions.h"
#include "base/values/protocoltexts.h"

namespace dromo {

ProgressHandler::ProgressHandler(TaskTable& table, const GlobalOptions& options, WorkerState& workers, Clock& clock,
                                 Sound& sound)
    : m_table(table), m_options(options), m_workers(workers), m_clock(clock), m_sound(sound)
{
}

namespace {

// The sound a status of this tone plays; none for a plain one.
const std::string* SoundOf(StatusTone tone, const GlobalOptions& options)
{
    switch (tone) {
    case StatusTone::Connecting: return &options.soundStartDownload;
    case StatusTone::Done: return &options.soundJobDone;
    case StatusTone::Failure: return &options.soundSthWrong;
    case StatusTone::Plain: break;
    }
    return nullptr;
}

}  // namespace

void ProgressHandler::OnProgress(const Progress& progress)
{
    const std::string& text = progress.text;
    if (m_workers.stop) {
        return;
    }
    std::vector<std::string> sounds;
    {
        auto guard = m_table.Lock();
        const int row = m_table.RowOf(progress.taskId);
        if (row < 0) {
            return;  // the task's row is gone
        }
        std::int64_t startTime = 0;
        m_table.Read(row, [&startTime](const TaskRecord& record, const TaskRow&) { startTime = record.startTime; });
        m_table.SetText(row, kColTime, FormatDuration(m_clock.Now() - startTime));
        switch (progress.kind) {
        case ProgressKind::Status:
            if (!text.empty()) {
                m_table.SetText(row, kColStatus, text);
            }
            if (const GlobalOptions& options = m_options.Get(guard); options.enableSound) {
                if (const std::string* sound = SoundOf(progress.tone, options)) {
                    sounds.push_back(*sound);
                }
            }
            break;
        case ProgressKind::Bytes: Bytes(row, progress.bytes, progress.speed); break;
        case ProgressKind::Retry:
            if (!text.empty()) {
                m_table.SetText(row, kColRetry, text);
            }
            break;
        case ProgressKind::Start:
            m_table.Update(progress.taskId, [&](TaskRecord& r) {
                r.checkpointKB = static_cast<std::int32_t>(progress.bytes / 1024);
                r.checkpointTime = m_clock.Now();
            });
            break;
        }
    }
    // Played with the lock released, so a long sound holds up no other
    // worker and not the window (the classic program played it locked).
    for (const std::string& file : sounds) {
        m_sound.Play(file);
    }
}

void ProgressHandler::Bytes(int row, std::int64_t bytes, std::int64_t speed)
{
    std::shared_ptr<TransferEngine> engine;
    bool resumeUnknown = false;
    std::int64_t previousKB = 0;  // from the column, in whole kilobytes
    m_table.Read(row, [&](const TaskRecord& record, const TaskRow& shown) {
        engine = record.engine;
        const std::string& resume = shown.texts[kColResume];
        resumeUnknown = resume == "N/A" || resume.empty();
        previousKB = LeadingNumber(shown.texts[kColSize]);
    });
    if (resumeUnknown) {
        m_table.SetText(row, kColResume, engine && engine->IsResumable() ? "Yes" : "No");
    }

    m_bytesThisTick += bytes - previousKB * 1024;

    const std::string sizeText = std::to_string(bytes / 1024);
    const std::int64_t total = engine ? engine->FileSize() : -1;
    std::int64_t percent = 0;
    if (total < 0) {
        m_table.SetText(row, kColSize, sizeText);
        m_table.SetText(row, kColProgress, "N/A");
        m_table.SetText(row, kColEstTime, "N/A");
    } else {
        m_table.SetText(row, kColSize, sizeText + " of " + std::to_string(total / 1024));
        // 64-bit arithmetic: exact for any size. An empty file is complete.
        percent = total > 0 ? bytes * 100 / total : 100;
        m_table.SetText(row, kColProgress, std::to_string(percent) + "%");
        const std::int64_t remaining = (total - bytes) / (speed == 0 ? 1 : speed);
        m_table.SetText(row, kColEstTime, remaining > 0 || percent == 100 ? FormatDuration(remaining) : "<1s");
    }
    if (percent < 100) {
        m_table.SetText(row, kColSpeed, FormatOneDecimal(static_cast<double>(speed) / 1024.0) + "KB/s");
    }
}

std::int64_t ProgressHandler::TakeBytesThisTick()
{
    auto guard = m_table.Lock();
    const std::int64_t bytes = m_bytesThisTick < 0 ? 0 : m_bytesThisTick;
    m_bytesThisTick = 0;
    return bytes;
}

}  // namespace dromo
