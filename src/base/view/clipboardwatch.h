#pragma once

#include <string>

namespace dromo {

// "Watch Clipboard": which copied texts Dromo offers to download. A text is
// offered when it is one http, https or ftp URL (as UrlFromClipboard takes
// it) whose file name ends in one of the capture file types, any letter
// case; the same URL is never offered twice in a row, however often it is
// copied again or whatever was copied in between.
class ClipboardWatch {
public:
    // The URL to offer for the clipboard's new text, or "".
    std::string Offer(const std::string& clipboardText, const std::string& captureFileTypes);

private:
    std::string m_lastOffered;
};

// True when the URL's file name ends in one of the blank-separated types.
bool NamesCaptureFileType(const std::string& url, const std::string& captureFileTypes);

}  // namespace dromo
