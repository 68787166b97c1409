#pragma once

#include <optional>
#include <string>
#include <system_error>

namespace dromo {

// A partly downloaded file taken over by "Import Broken File".
struct TakenOverFile {
    std::string path;                  // the name the task continues into
    std::optional<std::string> error;  // set when the file cannot be taken over
    std::string movedFrom;             // the chosen file's name when it was renamed to "path+++"
};

// A partly downloaded file taken over as the partial file of a new task,
// whose target is the name without "+++". A "+++" file (an earlier run's
// partial file) stays where it is and is refused when a file of the short
// name exists; any other file is renamed to its "+++" name, never replacing
// one. The engine then continues the bytes where they end.
TakenOverFile TakeOverBrokenFile(const std::string& path);

// A take-over whose task was not added after all: the file gets its own
// name back, so a refused add changes nothing on disk. The error text when
// that name has been taken meanwhile (the file then keeps its "+++" name).
std::optional<std::string> GiveBackBrokenFile(const TakenOverFile& file);

// The file-error text for a system error, with `name` for the file.
std::string FileErrorText(std::error_code error, const std::string& name);

}  // namespace dromo
