#pragma once

namespace dromo {

// Keeps the machine from suspending when idle. Both calls may be repeated;
// without the service they do nothing.
class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    virtual void Take() = 0;
    virtual void Release() = 0;
};

}  // namespace dromo
