#pragma once

#include <string_view>

#include "base/text/metalinkdocument.h"

namespace dromo {

// Reads a Metalink file's XML (version 4 or 3) and checks it by
// CheckMetalink's rules. The XML library lives outside base; the add paths
// reach it through this.
class MetalinkReader {
public:
    virtual ~MetalinkReader() = default;
    virtual MetalinkReading Read(std::string_view document) const = 0;
};

}  // namespace dromo
