#pragma once

#include <optional>
#include <string_view>

#include "base/text/metalinkdocument.h"
#include "base/text/metalinktransfer.h"

namespace dromo {

class TransferEngine;

// dromo-fetch's Metalink: the first file of a read document, made a
// transfer by the rule that makes the program's tasks (MetalinkTransfers);
// nothing for a refused reading. `source` is the URL the document came
// from, "" for a file on disk.
std::optional<MetalinkTransfer> FirstMetalinkTransfer(const MetalinkReading& reading, std::string_view source);

// Hands the transfer's digests, mirrors and pieces to the engine as the
// worker hands a task's. Without `connectionsGiven` each mirror gets a
// connection (at most 16): a Metalink's mirrors are there to share the file.
void PrepareMetalinkTransfer(TransferEngine& engine, const MetalinkTransfer& transfer, bool connectionsGiven);

}  // namespace dromo
