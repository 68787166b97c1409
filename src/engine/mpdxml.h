#pragma once

#include <string>
#include <string_view>

#include "base/text/dashmanifest.h"

namespace dromo {

// DASH manifests read with libxml2, held as Metalink files are: no
// network, no DTD (a document type declaration stops the parser before its
// internal subset, so no entity is ever declared or expanded), a bounded
// size and a bounded count of elements. The elements of the MPD namespace
// (or of none) become MpdElements; ReadDashManifest's rules do the rest.
class MpdXml {
public:
    // The manifest's root element; `error` set when it cannot be read.
    static MpdElement Parse(std::string_view document, std::string& error);
    // The manifest fetched from `url`, read and checked.
    static DashReading Read(std::string_view document, std::string_view url);
};

}  // namespace dromo
