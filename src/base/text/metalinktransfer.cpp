#include "base/text/metalinktransfer.h"

#include <optional>

#include "base/text/filenames.h"
#include "base/text/parseurl.h"
#include "base/text/textutil.h"

namespace dromo {

MetalinkTransfer MetalinkTransferOf(const MetalinkFile& file, std::string_view source)
{
    MetalinkTransfer transfer;
    if (const Mirror* best = file.mirrors.Best()) {
        transfer.url = best->url;
    }
    // A document's name is a stranger's as much as a server's: the same rule.
    transfer.name = SafeFileName(file.name);
    if (transfer.name.empty()) {
        transfer.name = FileNameFromUrl(transfer.url);
    }
    transfer.size = file.size;
    transfer.mirrors = file.mirrors;
    transfer.digests = file.digests;
    transfer.pieces = file.pieces;
    transfer.sourceServer = source.empty() || SameServer(source, transfer.url);
    return transfer;
}

std::vector<MetalinkTransfer> MetalinkTransfers(const MetalinkReading& reading, std::string_view source)
{
    std::vector<MetalinkTransfer> transfers;
    if (!reading.Ok()) {
        return transfers;
    }
    transfers.reserve(reading.files.size());
    for (const MetalinkFile& file : reading.files) {
        transfers.push_back(MetalinkTransferOf(file, source));
    }
    return transfers;
}

bool SameServer(std::string_view a, std::string_view b)
{
    const std::optional<ParsedUrl> one = ParseUrl(a);
    const std::optional<ParsedUrl> other = ParseUrl(b);
    return one && other && one->protocol == other->protocol && one->port == other->port &&
           FoldCase(one->host) == FoldCase(other->host);
}

}  // namespace dromo
