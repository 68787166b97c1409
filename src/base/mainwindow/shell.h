#pragma once

#include <string>
#include <vector>

namespace dromo {

// The desktop: open a file or page with its default program, start a program.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool Open(const std::string& path) = 0;
    // Starts a program with these arguments, each passed as it is: never
    // through a shell.
    virtual bool Start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// Plays a wave file to its end; silent when the file is missing or not playable.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void Play(const std::string& path) = 0;
};

}  // namespace dromo
