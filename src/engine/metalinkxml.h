#pragma once

#include <string_view>

#include "base/ports/metalinkreader.h"
#include "base/text/metalinkdocument.h"

namespace dromo {

// Metalink files read with libxml2: no network, no DTD (a document type
// declaration stops the parser before its internal subset, so no entity is
// ever declared or expanded), a bounded size, and bounded counts of files,
// URLs and pieces.
class MetalinkXml : public MetalinkReader {
public:
    // The document's values as written; `error` set when it is refused.
    static MetalinkDocument Parse(std::string_view document);

    MetalinkReading Read(std::string_view document) const override;
};

}  // namespace dromo
