#pragma once

#include <optional>
#include <string>
#include <system_error>

namespace dromo {

// A partly downloaded file taken over by "Import Broken File".
struct TakenOverFile {
    std::string path;                  // the name the task continues into
    std::optional<std::string> error;  // set when the file cannot be taken over
};

// A partly downloaded file taken over as the partial file of a new task,
// whose target is the name without "+++". A "+++" file (an earlier run's
// partial file) stays where it is and is refused when a file of the short
// name exists; any other file is renamed to its "+++" name, never replacing
// one. The engine then continues the bytes where they end.
TakenOverFile TakeOverBrokenFile(const std::string& path);

// The file-error text for a system error, with `name` for the file.
std::string FileErrorText(std::error_code error, const std::string& name);

}  // namespace dromo
