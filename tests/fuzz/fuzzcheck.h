#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace dromo::fuzz {

// Text as a property's report shows it: printable ASCII as it is, every
// other byte as \xNN, and long texts cut.
inline std::string Shown(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < 400; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    out += text.size() > 400 ? "\"... (" + std::to_string(text.size()) + " bytes)" : "\"";
    return out;
}

// Where two texts that should be equal part: the byte offset and a little
// of each from just before it.
inline std::string Difference(std::string_view a, std::string_view b)
{
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) {
        ++at;
    }
    const std::size_t from = at > 40 ? at - 40 : 0;
    return "they part at byte " + std::to_string(at) + ": " + Shown(a.substr(from, 120)) + " against " +
           Shown(b.substr(from, 120));
}

// A broken property ends the run the way a crash does, so libFuzzer keeps
// the input and the replay fails; the report says which rule broke.
[[noreturn]] inline void Broken(const char* file, int line, const char* property, const std::string& detail)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n%s\n", file, line, property, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing beyond U+10FFFF.
inline bool IsUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t more = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + more >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += more + 1;
    }
    return true;
}

}  // namespace dromo::fuzz

// FUZZ_CHECK(condition, detail): `detail` (a std::string) is built only when
// the condition fails.
#define FUZZ_CHECK(condition, detail)                                        \
    do {                                                                     \
        if (!(condition)) {                                                  \
            ::dromo::fuzz::Broken(__FILE__, __LINE__, #condition, (detail)); \
        }                                                                    \
    } while (false)
