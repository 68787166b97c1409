#pragma once

#include <string>

#include "base/values/taskrow.h"

namespace dromo {

// What the task list tells about a row beyond its cells: the name on disk,
// which a server or a redirect may have chosen, and the reason of a failure,
// which the Status column far to the right may not show.
class TaskRowTip {
public:
    // The model's column beyond the classic nine: the file's name on disk.
    static constexpr int kFileColumn = kColumnCount;

    // The File column's text: the name of the file, without its folder.
    static std::string FileName(const TaskRow& row);
    // The URL for reading: its escapes decoded when they form UTF-8 text,
    // else as written.
    static std::string ReadableUrl(const std::string& url);
    // The tool tip of a cell (columns as the model numbers them): on
    // Target the URL for reading and the file's path, on File the path,
    // elsewhere the cell's text; a failed task's row adds the reason of
    // the failure (its status text) under any cell but Status, which is it.
    static std::string For(const TaskRow& row, int column);
};

}  // namespace dromo
