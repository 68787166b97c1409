#pragma once

#include <functional>
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
    // Opens a page for reading (the guide) and calls `failed` when nothing
    // could show it, also when that is known only later (the desktop's
    // opener found no program for it): on the caller's thread, at most once.
    virtual void OpenPage(const std::string& path, std::function<void()> failed)
    {
        if (!Open(path)) {
            failed();
        }
    }
    // Shows a file in the file manager. Where the desktop cannot point at
    // one file, opening the folder that holds it is the next best thing.
    virtual bool ShowItem(const std::string& path)
    {
        const std::size_t slash = path.find_last_of('/');
        return slash != std::string::npos && Open(path.substr(0, slash + 1));
    }
};

}  // namespace dromo
