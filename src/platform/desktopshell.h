#pragma once

#include "mainwindow/shell.h"

namespace dromo {

// Opens files and pages with the desktop's default program (through
// QDesktopServices, that is xdg-open) and starts programs with an argument
// list, never through a shell.
class DesktopShell : public Shell {
public:
    // A local file that is not there fails at once, so the caller can say so.
    bool Open(const std::string& path) override;
    bool Start(const std::string& program, const std::vector<std::string>& arguments) override;
};

}  // namespace dromo
