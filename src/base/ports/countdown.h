#pragma once

#include <functional>
#include <string>

namespace dromo {

// The 15-second countdown before a hang-up or shut-down.
class Countdown {
public:
    virtual ~Countdown() = default;
    // Shows the countdown with the message and returns at once; `done` runs
    // on the user-interface thread with true when it reached 0, false when
    // the user cancelled it.
    virtual void Start(const std::string& message, std::function<void(bool reachedZero)> done) = 0;
};

}  // namespace dromo
