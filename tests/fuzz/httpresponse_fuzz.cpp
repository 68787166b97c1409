// The response head as a server sends it, line by line: whatever the lines,
// the parser gives the same head with or without their CR LF, and never a
// number below "absent".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/httpresponse.h"
#include "tests/fuzz/fuzzcheck.h"

namespace dromo::fuzz {
namespace {

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

std::string Describe(const HttpResponse& r)
{
    return "code " + std::to_string(r.code) + " status " + Shown(r.statusLine) + " reason " + Shown(r.reason) +
           " length " + std::to_string(r.contentLength) + " range " + std::to_string(r.rangeFirst) + "-" +
           std::to_string(r.rangeLast) + "/" + std::to_string(r.rangeTotal) + " etag " + Shown(r.etag) + " modified " +
           Shown(r.lastModified) + " ranges " + std::to_string(r.acceptRanges) + " location " +
           std::to_string(r.hasLocation) + " retry " + std::to_string(r.retryAfter) + " name " + Shown(r.fileName) +
           " link " + Shown(r.link);
}

bool SameHead(const HttpResponse& a, const HttpResponse& b)
{
    // Retry-After as a date is read against the clock, which may tick
    // between the two parses.
    const bool sameRetry =
        a.retryAfter == b.retryAfter || (a.retryAfter >= 0 && b.retryAfter >= 0 && a.retryAfter - b.retryAfter <= 1 &&
                                         b.retryAfter - a.retryAfter <= 1);
    return a.code == b.code && a.statusLine == b.statusLine && a.reason == b.reason &&
           a.contentLength == b.contentLength && a.rangeFirst == b.rangeFirst && a.rangeLast == b.rangeLast &&
           a.rangeTotal == b.rangeTotal && a.etag == b.etag && a.lastModified == b.lastModified &&
           a.acceptRanges == b.acceptRanges && a.hasLocation == b.hasLocation && sameRetry &&
           a.fileName == b.fileName && a.link == b.link;
}

void CheckHead(const HttpResponse& r, std::string_view input)
{
    const auto shown = [&] { return Shown(input) + " gave " + Describe(r); };
    FUZZ_CHECK(r.contentLength >= -1 && r.rangeFirst >= -1 && r.rangeLast >= -1 && r.rangeTotal >= -1, shown());
    FUZZ_CHECK(r.retryAfter >= -1, shown());
    const std::string strong = r.StrongEtag();
    FUZZ_CHECK(
        strong.empty() || (strong == r.etag && strong.size() >= 2 && strong.front() == '"' && strong.back() == '"'),
        shown());
    FUZZ_CHECK(r.code == 0 || r.statusLine.rfind("HTTP/", 0) == 0, shown());
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    using namespace dromo::fuzz;
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    HttpResponse bare;
    HttpResponse ended;
    std::size_t bytes = 0;
    for (const std::string_view line : Lines(input)) {
        bare.AddLine(line);
        ended.AddLine(std::string(line) + "\r\n");
        bytes += line.size() + 2;
        FUZZ_CHECK(ended.headBytes <= bytes, Shown(input) + " counted " + std::to_string(ended.headBytes));
        // Each value as the engine's helpers read it alone.
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            const std::string_view value = line.substr(colon + 1);
            FUZZ_CHECK(RetryAfterSeconds(value, 1'700'000'000) >= -1, Shown(value));
            FUZZ_CHECK(ParseSize(value) >= -1, Shown(value));
            static_cast<void>(ContentDispositionFileName(value));
        }
    }
    CheckHead(bare, input);
    CheckHead(ended, input);
    FUZZ_CHECK(SameHead(bare, ended), Shown(input) + " without CR LF " + Describe(bare) + ", with " + Describe(ended));
    return 0;
}
