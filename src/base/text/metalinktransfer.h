#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text/metalinkdocument.h"

namespace dromo {

// One file of a checked Metalink file as it is fetched. The program makes a
// task of it and dromo-fetch a transfer, both from this value alone, so the
// two take the same file from the same mirrors in the same order, check it
// by the same digests and send what was given for the Metalink file's own
// server to that server only.
struct MetalinkTransfer {
    std::string url;         // the leader: the most wanted mirror
    std::string name;        // the document's name made safe; the leader's when that leaves nothing
    std::int64_t size = -1;  // -1 when the document gives none
    MirrorList mirrors;      // every mirror, the leader among them, most wanted first
    DigestList digests;      // the whole file's
    PieceHashes pieces;      // may be empty
    // The leader is the server the Metalink file came from, or the file was
    // read from disk (then a login given with it is the leader's): the
    // login and the Cookie header given for that server may go along.
    bool sourceServer = false;
};

// The transfer of one file. `source` is the URL the Metalink file was
// fetched from; "" for a file on disk.
MetalinkTransfer MetalinkTransferOf(const MetalinkFile& file, std::string_view source);
// Every file's, in the document's order; none for a refused reading.
std::vector<MetalinkTransfer> MetalinkTransfers(const MetalinkReading& reading, std::string_view source);
// True when both URLs lead to one server: the same scheme, host (any
// letter case) and port, the scheme's own port when none is written.
bool SameServer(std::string_view a, std::string_view b);

}  // namespace dromo
