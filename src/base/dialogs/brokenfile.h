#pragma once

#include <optional>
#include <string>
#include <system_error>

namespace dromo {

// A partly downloaded file taken over by "Import Broken File".
struct TakenOverFile {
    std::string path;                  // the name the task continues into
    std::optional<std::string> error;  // set when the "+++" rename failed
};

// A file whose name ends in "+++" (an earlier run's partial file) is renamed
// to the name without it; an existing file of that name is never replaced.
// Other names are used as they are.
TakenOverFile TakeOverBrokenFile(const std::string& path);

// The file-error text for a system error, with `name` for the file.
std::string FileErrorText(std::error_code error, const std::string& name);

}  // namespace dromo
