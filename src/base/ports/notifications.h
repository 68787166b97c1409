#pragma once

#include <string>

namespace dromo {

// One desktop notification: a summary line, a body and the file its
// actions act on ("" for none). `canOpen` is set when the notice is about
// one finished file, which "Open" then opens.
struct DesktopNotice {
    std::string summary;
    std::string body;
    std::string path;
    bool canOpen = false;
    std::string offerUrl = {};  // a link offered for download: its notice carries "Download"
    bool operator==(const DesktopNotice&) const = default;
};

// The desktop's notification service. Without one, Show does nothing.
class Notifications {
public:
    virtual ~Notifications() = default;
    virtual void Show(const DesktopNotice& notice) = 0;
};

}  // namespace dromo
