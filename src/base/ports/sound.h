#pragma once

#include <string>

namespace dromo {

// Plays a wave file to its end; silent when the file is missing or not playable.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void Play(const std::string& path) = 0;
};

}  // namespace dromo
