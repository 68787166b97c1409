#pragma once

#include <string>
#include <vector>

namespace dromo {

// How a question looks, and the answer Return gives.
enum class Ask {
    Question,  // the question icon; Cancel is the default
    Stop,      // the stop icon; OK is the default (the exit's question)
};

// Message boxes.
class Messages {
public:
    virtual ~Messages() = default;
    // A warning with an OK button, shown without waiting for the click (from
    // a worker thread the box is posted to the user-interface thread).
    virtual void Warning(const std::string& text) = 0;
    // On the user-interface thread only.
    // A question with OK and Cancel; true for OK.
    virtual bool AskOkCancel(const std::string& text, Ask kind) = 0;
    // A question with a button for each answer, the first the default; the
    // index of the one chosen. Escape and closing the box choose the last.
    virtual int Choose(const std::string& text, const std::vector<std::string>& buttons) = 0;
};

}  // namespace dromo
