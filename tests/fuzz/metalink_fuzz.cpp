// Metalink files (versions 4 and 3) as any server or mail may bring them.
// Whatever comes in, the reader returns within its limits; what it accepts
// names plain files only, fetches only http, https and ftp URLs, and its
// mirrors and piece hashes read back from their stored forms as they were;
// the transfers made of it lead with the most wanted mirror, under a name
// that stays in its folder, and call no other server the document's own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text/metalinktransfer.h"
#include "base/text/mirrorlist.h"
#include "base/text/parseurl.h"
#include "base/text/piecehashes.h"
#include "base/text/textutil.h"
#include "base/values/taskrecord.h"
#include "engine/metalinkxml.h"
#include "tests/fuzz/fuzzcheck.h"

namespace dromo::fuzz {
namespace {

void CheckFile(const MetalinkFile& file, std::string_view input)
{
    const std::string& name = file.name;
    FUZZ_CHECK(!name.empty() && name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
                   name.find("..") == std::string::npos && name.front() != '.',
               "the name " + Shown(name) + " from " + Shown(input) + " leaves its folder or hides");
    for (char c : name) {
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f,
                   "the name " + Shown(name) + " holds a control character");
    }
    FUZZ_CHECK(IsUtf8(name), "the name " + Shown(name) + " is no UTF-8");
    FUZZ_CHECK(!file.mirrors.Empty() && file.mirrors.Size() <= kMetalinkMaxUrls,
               std::to_string(file.mirrors.Size()) + " mirrors for " + Shown(name));
    FUZZ_CHECK(file.pieces.Hashes().size() <= kMetalinkMaxPieces,
               std::to_string(file.pieces.Hashes().size()) + " pieces");
    for (const Mirror& m : file.mirrors.Mirrors()) {
        FUZZ_CHECK(ParseUrl(m.url).has_value() && m.url.find(' ') == std::string::npos,
                   "the mirror " + Shown(m.url) + " is no http, https or ftp URL without blanks");
    }
    const std::optional<MirrorList> mirrors = MirrorList::Parse(file.mirrors.Stored());
    FUZZ_CHECK(mirrors && mirrors->Stored() == file.mirrors.Stored(),
               "the mirrors " + Shown(file.mirrors.Stored()) + " do not read back");
    const std::optional<PieceHashes> pieces = PieceHashes::Parse(file.pieces.Stored());
    FUZZ_CHECK(pieces && pieces->Stored() == file.pieces.Stored(),
               "the pieces " + Shown(file.pieces.Stored()) + " do not read back");
    const std::optional<DigestList> digests = DigestList::Parse(file.digests.Stored());
    FUZZ_CHECK(digests && digests->Stored() == file.digests.Stored(),
               "the digests " + Shown(file.digests.Stored()) + " do not read back");
}

void CheckTransfers(const MetalinkReading& reading)
{
    const std::string source = "https://src.example/all.meta4";
    const std::vector<MetalinkTransfer> transfers = MetalinkTransfers(reading, source);
    FUZZ_CHECK(transfers.size() == reading.files.size(), std::to_string(transfers.size()) + " transfers");
    for (std::size_t i = 0; i < transfers.size(); ++i) {
        const MetalinkTransfer& t = transfers[i];
        FUZZ_CHECK(t.url == reading.files[i].mirrors.Best()->url, "the leader " + Shown(t.url) + " is not the best");
        FUZZ_CHECK(!t.name.empty() && t.name.find('/') == std::string::npos && t.name.front() != '.',
                   "the name " + Shown(t.name) + " leaves its folder or hides");
        const std::optional<ParsedUrl> leader = ParseUrl(t.url);
        FUZZ_CHECK(!t.sourceServer || (leader && leader->protocol == kProtocolHttps && leader->port == 443 &&
                                       FoldCase(leader->host) == "src.example"),
                   Shown(t.url) + " taken for the document's own server");
    }
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const MetalinkReading reading = MetalinkXml().Read(input);
    FUZZ_CHECK(reading.Ok() != reading.files.empty(), "an error and files at once, or neither: " + reading.error);
    FUZZ_CHECK(reading.files.size() <= kMetalinkMaxFiles, std::to_string(reading.files.size()) + " files");
    for (const MetalinkFile& file : reading.files) {
        fuzz::CheckFile(file, input);
    }
    fuzz::CheckTransfers(reading);
    return 0;
}
