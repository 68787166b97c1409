#include "base/view/taskrowtip.h"

#include "base/text/filenames.h"
#include "base/values/taskstate.h"

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
    const bool failed = row.stateImage == kImageError || row.stateImage == kImageFailed;
    if (failed && column != kColStatus && !row.texts[kColStatus].empty()) {
        addLine("Failed: " + row.texts[kColStatus]);
    }
    return tip;
}

}  // namespace dromo
