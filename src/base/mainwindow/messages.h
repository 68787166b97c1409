#pragma once

#include <string>

namespace dromo {

// Message boxes. Called on the user-interface thread only.
class Messages {
public:
    virtual ~Messages() = default;
    // A warning with an OK button.
    virtual void Warning(const std::string& text) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
};

}  // namespace dromo
