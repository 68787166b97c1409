#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dromo::fuzz {

// A fuzzer's bytes read as a sequence of choices. Reading past the end gives
// zeros and empty texts, so every input means something.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_rest(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return m_rest.empty(); }
    std::uint8_t Byte()
    {
        if (m_rest.empty()) {
            return 0;
        }
        const auto b = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return b;
    }
    // A number in [0, limit).
    std::uint32_t Below(std::uint32_t limit)
    {
        const std::uint32_t value = (std::uint32_t{Byte()} << 8) | Byte();
        return limit == 0 ? 0 : value % limit;
    }
    // A text of at most `limit` bytes: a length byte, then the bytes.
    std::string Text(std::size_t limit)
    {
        std::size_t length = Byte();
        length = std::min({length, limit, m_rest.size()});
        std::string text(m_rest.substr(0, length));
        m_rest.remove_prefix(length);
        return text;
    }
    std::string_view Rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

}  // namespace dromo::fuzz
