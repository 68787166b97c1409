#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace dromo {

// Native messaging frames: a 32-bit native-endian byte count, then that many
// bytes of UTF-8 JSON. At most 1 MiB each way.
class NativeMessaging {
public:
    static constexpr std::uint32_t kLimit = 1024 * 1024;

    enum class Status { Ok, EndOfInput, TooLarge };

    NativeMessaging(std::FILE* in, std::FILE* out) : m_in(in), m_out(out) {}

    // Reads one frame, however the bytes arrive; blocks until it is whole.
    Status Read(std::string& message);
    // Writes one frame and flushes it; false when it is too large or the
    // browser has gone.
    bool Write(const std::string& message);

private:
    std::FILE* m_in;
    std::FILE* m_out;
};

}  // namespace dromo
