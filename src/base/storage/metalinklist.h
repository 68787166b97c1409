#pragma once

#include <string>

#include "base/text/metalinkdocument.h"

namespace dromo {

class MetalinkReader;

// A Metalink file on disk (".meta4", ".metalink"), opened from the command
// line, Load Download List or a hand-over of its path.
class MetalinkList {
public:
    // The file read and checked; a file that cannot be read, or is larger
    // than a Metalink file may be, gives an error that names it.
    static MetalinkReading ReadFile(const std::string& path, const MetalinkReader& reader);
};

}  // namespace dromo
