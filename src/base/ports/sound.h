#pragma once

#include <string>

namespace dromo {

// Wave files; silent when the file is missing or not playable.
class Sound {
public:
    virtual ~Sound() = default;
    // Plays the file to its end: a worker's event sounds hold its transfer.
    virtual void Play(const std::string& path) = 0;
    // Starts the file and returns at once, for the window's thread, which
    // must never wait for a sound; while a sound so started still sounds,
    // another is not started over it (five hundred URLs handed over at
    // once sound once, not five hundred times in a row).
    virtual void Start(const std::string& path) = 0;
};

}  // namespace dromo
