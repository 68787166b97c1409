#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace dromo {

class PartialFile;

// Stores the open ranges of a segmented transfer with its partial file, on a
// thread of its own. A record names only bytes that are on the disk for
// good: it is stored after a flush (fdatasync) of everything written before
// it was offered. A flush takes what the disk takes; beside the transfer it
// never holds the data back, and offers made meanwhile are merged into the
// next record, so the record keeps up with the data instead of waiting for
// a quiet moment that a server sending in bursts never gives. After each
// flush the thread rests a few times as long, so flushing takes at most a
// fifth of the disk's time.
class RangeRecorder {
public:
    explicit RangeRecorder(PartialFile& file);
    ~RangeRecorder();
    RangeRecorder(const RangeRecorder&) = delete;
    RangeRecorder& operator=(const RangeRecorder&) = delete;

    // Ranges (SegmentPlan's stored form) that call present only bytes
    // already written to the file.
    void Offer(std::string ranges);
    // Ends the thread; an offer not yet recorded is dropped.
    void Stop();
    // Stops, then flushes and stores the ranges at once. False when either
    // failed: the record stays as it was.
    bool RecordNow(const std::string& ranges);
    // The system's reason when a flush failed; "" while none has.
    std::string Failure() const;

private:
    // Rest after a flush, in flushes' durations.
    static constexpr int kRestFactor = 4;

    void Run();

    PartialFile& m_file;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_pending;  // "" when nothing waits
    bool m_stop = false;
    std::string m_failure;
    std::thread m_thread;  // started by the first offer
};

}  // namespace dromo
