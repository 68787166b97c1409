#pragma once

#include <cstdint>

namespace dromo {

// Writes a finished run into the download history (task-table lock held).
class HistoryWriter {
public:
    virtual ~HistoryWriter() = default;
    virtual void WriteHistoryEntry(std::int16_t taskId) = 0;
};

}  // namespace dromo
