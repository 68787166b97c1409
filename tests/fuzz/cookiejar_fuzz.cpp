// A cookie jar as a browser's extension hands it over. Whatever the bytes,
// a jar is refused whole or read whole: a read jar holds no byte that could
// end a request's head or add a field to it, every cookie it holds writes a
// line that reads back as the same cookie, and its text reads back as the
// same jar; a refused one names its first bad line within the text.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text/cookiejar.h"
#include "tests/fuzz/fuzzcheck.h"

namespace dromo::fuzz {
namespace {

// A control byte would end or split a request's head wherever it stood.
bool HoldsControl(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

void CheckCookie(const Cookie& c, const std::string& input)
{
    const auto shown = [&] { return Shown(input) + " gave " + Shown(c.Line()); };
    FUZZ_CHECK(!c.domain.empty() && c.domain.front() != '.', shown());
    FUZZ_CHECK(!c.path.empty() && c.path.front() == '/', shown());
    FUZZ_CHECK(!c.name.empty() && c.name.find('=') == std::string::npos, shown());
    FUZZ_CHECK(!HoldsControl(c.domain) && !HoldsControl(c.path) && !HoldsControl(c.name) && !HoldsControl(c.value),
               shown());
    // Name and value are what the Cookie field carries: a ';' there would
    // make another cookie of the rest.
    FUZZ_CHECK(c.name.find(';') == std::string::npos && c.value.find(';') == std::string::npos, shown());
    const std::optional<Cookie> again = Cookie::FromLine(c.Line());
    FUZZ_CHECK(again.has_value() && *again == c, shown());
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    using namespace dromo::fuzz;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const CookieJarReading reading = CookieJar::Read(input);
    FUZZ_CHECK(reading.jar.has_value() == (reading.fault == CookieJarFault::None), Shown(input));
    if (!reading.jar) {
        const auto lines = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n')) + 1;
        FUZZ_CHECK(reading.fault != CookieJarFault::BadLine || (reading.line >= 1 && reading.line <= lines),
                   Shown(input) + " line " + std::to_string(reading.line));
        FUZZ_CHECK(reading.fault != CookieJarFault::TooLong || input.size() > CookieJar::kMaxBytes, Shown(input));
        return 0;
    }
    FUZZ_CHECK(input.size() <= CookieJar::kMaxBytes, Shown(input));
    for (const Cookie& c : reading.jar->Cookies()) {
        CheckCookie(c, input);
    }
    const CookieJarReading again = CookieJar::Read(reading.jar->Text());
    FUZZ_CHECK(again.jar.has_value() && again.jar->Cookies() == reading.jar->Cookies(),
               Shown(input) + ": " + Difference(reading.jar->Text(), again.jar ? again.jar->Text() : ""));
    return 0;
}
