#pragma once

#include <array>
#include <string>

namespace dromo {

// The task list's columns, in display order.
enum Column : int {
    kColTarget = 0,
    kColSize,
    kColResume,
    kColProgress,
    kColSpeed,
    kColTime,
    kColEstTime,
    kColRetry,
    kColStatus,
    kColumnCount
};

// One row of the task list as base holds it: the widgets only present it.
struct TaskRow {
    std::array<std::string, kColumnCount> texts;
    int stateImage = 0;  // index into the state-image strip (0 = none)
    int icon = 0;        // index into the file-type icon strip
    // The file on disk (the record's saveAs), kept by the table as the
    // record changes: the list shows its name, which a server or a redirect
    // may have chosen and the URL does not tell.
    std::string saveAs;

    bool operator==(const TaskRow&) const = default;
};

}  // namespace dromo
