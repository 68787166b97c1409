#pragma once

#include <string>

namespace dromo {

// Which parts of a row changed: bit i for column i, plus the state image and
// the file the task writes.
using RowParts = unsigned;
inline constexpr RowParts kStateImagePart = 1u << 16;
inline constexpr RowParts kSaveAsPart = 1u << 17;
inline constexpr RowParts kAllRowParts = 0x1FFu | kStateImagePart | kSaveAsPart;

// The tray icon (by the classic resource numbers) and its tip.
struct TrayState {
    int icon = 128;
    std::string tip;
    bool operator==(const TrayState&) const = default;
};

// What base tells the task list's presenter. Calls arrive on any thread and
// with the task-table lock held: an implementation must only note or queue
// the change and never wait for another thread.
class TaskListObserver {
public:
    virtual ~TaskListObserver() = default;
    virtual void RowInserted(int row) = 0;
    virtual void RowRemoved(int row) = 0;
    virtual void RowChanged(int row, RowParts parts) = 0;
    // The status bar's panes; an empty text leaves that pane unchanged.
    virtual void StatusTexts(const std::string& pane0, const std::string& pane1, const std::string& pane2) = 0;
    virtual void TrayStateChanged(const TrayState& state) = 0;
};

}  // namespace dromo
