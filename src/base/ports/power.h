#pragma once

namespace dromo {

// Shuts the computer down and powers it off; false when the system refused.
class Power {
public:
    virtual ~Power() = default;
    virtual bool PowerOff() = 0;
};

}  // namespace dromo
