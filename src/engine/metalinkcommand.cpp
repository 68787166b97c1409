#include "engine/metalinkcommand.h"

#include <algorithm>
#include <cstdint>

#include "base/ports/transferengine.h"

namespace dromo {

std::optional<MetalinkTransfer> FirstMetalinkTransfer(const MetalinkReading& reading, std::string_view source)
{
    if (!reading.Ok() || reading.files.empty()) {
        return std::nullopt;
    }
    return MetalinkTransferOf(reading.files.front(), source);
}

void PrepareMetalinkTransfer(TransferEngine& engine, const MetalinkTransfer& transfer, bool connectionsGiven)
{
    engine.SetExpectedDigests(transfer.digests.Stored());
    engine.SetMirrors(transfer.mirrors);
    engine.SetPieceHashes(transfer.pieces);
    if (!connectionsGiven) {
        engine.SetConnections(static_cast<std::int32_t>(std::clamp<std::size_t>(transfer.mirrors.Size(), 1, 16)));
    }
}

}  // namespace dromo
