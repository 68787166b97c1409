#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dromo {

// Which of a stream's variants (HLS) or representations (DASH) the user
// wants, in the words a person types: "" or "best" the highest; "lowest";
// "720p" or "720" a height; "1280x720" a resolution; "2500k", "2.5M" or
// "2500000" (bits per second, 10000 and more) a bandwidth. A height,
// resolution or bandwidth takes the best variant that does not exceed it,
// or the lowest when every one does.
class VariantChoice {
public:
    // What a variant offers; 0 where the stream does not say.
    struct Offer {
        int width = 0;
        int height = 0;
        std::int64_t bandwidth = 0;
        bool video = true;  // false for an audio-only variant
    };

    VariantChoice() = default;
    // Nothing for a text that says none of the above.
    static std::optional<VariantChoice> Parse(std::string_view text);
    // The choice as stored and shown: "" for the best, "lowest", "720p",
    // "1280x720", "2500k".
    std::string Stored() const;
    bool Best() const { return m_kind == Kind::Best; }

    // The index of the chosen offer; -1 for an empty list. Variants with
    // video come before audio-only ones, which are chosen only when no
    // variant has video.
    int Pick(const std::vector<Offer>& offers) const;

private:
    enum class Kind { Best, Lowest, Height, Resolution, Bandwidth };
    bool Fits(const Offer& offer) const;

    Kind m_kind = Kind::Best;
    int m_width = 0;
    int m_height = 0;
    std::int64_t m_bandwidth = 0;
};

}  // namespace dromo
