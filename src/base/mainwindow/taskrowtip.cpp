#include "base/mainwindow/taskrowtip.h"

#include "base/core/taskstate.h"
#include "base/files/filenames.h"

namespace dromo {

std::string TaskRowTip::FileName(const TaskRow& row)
{
    return NameOfPath(row.saveAs);
}

std::string TaskRowTip::ReadableUrl(const std::string& url)
{
    const std::string decoded = PercentDecode(url);
    return IsUtf8(decoded) ? decoded : url;
}

std::string TaskRowTip::For(const TaskRow& row, int column)
{
    std::string tip;
    auto addLine = [&tip](const std::string& line) {
        if (!line.empty()) {
            tip += (tip.empty() ? "" : "\n") + line;
        }
    };
    if (column == kColTarget) {
        addLine(ReadableUrl(row.texts[kColTarget]));
        addLine(row.saveAs.empty() ? std::string() : "File: " + row.saveAs);
    } else if (column == kFileColumn) {
        addLine(row.saveAs);
    } else if (column >= 0 && column < kColumnCount) {
        addLine(row.texts[static_cast<std::size_t>(column)]);
    }
    if (row.stateImage == kImageError && column != kColStatus && !row.texts[kColStatus].empty()) {
        addLine("Failed: " + row.texts[kColStatus]);
    }
    return tip;
}

}  // namespace dromo
