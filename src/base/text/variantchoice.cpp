#include "base/text/variantchoice.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <tuple>

#include "base/text/textutil.h"

namespace dromo {
namespace {

// Heights below this are heights; a number from it on is bits per second.
constexpr std::int64_t kLeastBandwidth = 10000;
constexpr int kMostPixels = 100000;

std::optional<std::int64_t> Digits(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value <= 0) {
        return std::nullopt;
    }
    return value;
}

// "2500k", "2.5M", "2500kbps", "3mbit/s": bits per second.
std::optional<std::int64_t> Bandwidth(std::string_view text)
{
    for (std::string_view unit : {"bit/s", "bps", "b"}) {
        if (text.size() > unit.size() && text.substr(text.size() - unit.size()) == unit) {
            text.remove_suffix(unit.size());
            break;
        }
    }
    double scale = 1;
    if (!text.empty() && (text.back() == 'k' || text.back() == 'm')) {
        scale = text.back() == 'k' ? 1e3 : 1e6;
        text.remove_suffix(1);
    } else if (!text.empty() && text.back() == 'g') {
        return std::nullopt;  // nobody streams that
    }
    if (text.empty() || text.size() > 15 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; })) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !(value > 0)) {
        return std::nullopt;
    }
    const double bits = std::round(value * scale);
    if (bits < kLeastBandwidth || bits > 1e12) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(bits);
}

// The order of quality: video first, then pixels, then bandwidth.
auto Rank(const VariantChoice::Offer& o)
{
    return std::make_tuple(o.video, static_cast<std::int64_t>(o.height) * o.width, o.height, o.bandwidth);
}

}  // namespace

std::optional<VariantChoice> VariantChoice::Parse(std::string_view text)
{
    const std::string folded = FoldCase(TrimBlanks(text));
    const std::string_view t = folded;
    VariantChoice choice;
    if (t.empty() || t == "best" || t == "highest") {
        return choice;
    }
    if (t == "lowest" || t == "worst") {
        choice.m_kind = Kind::Lowest;
        return choice;
    }
    const std::size_t x = t.find('x');
    if (x != std::string_view::npos) {
        const auto w = Digits(t.substr(0, x));
        const auto h = Digits(t.substr(x + 1));
        if (!w || !h || *w > kMostPixels || *h > kMostPixels) {
            return std::nullopt;
        }
        choice.m_kind = Kind::Resolution;
        choice.m_width = static_cast<int>(*w);
        choice.m_height = static_cast<int>(*h);
        return choice;
    }
    const std::string_view height = !t.empty() && t.back() == 'p' ? t.substr(0, t.size() - 1) : t;
    if (const auto h = Digits(height); h && *h < kLeastBandwidth) {
        choice.m_kind = Kind::Height;
        choice.m_height = static_cast<int>(*h);
        return choice;
    }
    if (height.size() != t.size()) {
        return std::nullopt;  // "20000p"
    }
    if (const auto bits = Bandwidth(t)) {
        choice.m_kind = Kind::Bandwidth;
        choice.m_bandwidth = *bits;
        return choice;
    }
    return std::nullopt;
}

std::string VariantChoice::Stored() const
{
    switch (m_kind) {
    case Kind::Best: return {};
    case Kind::Lowest: return "lowest";
    case Kind::Height: return std::to_string(m_height) + "p";
    case Kind::Resolution: return std::to_string(m_width) + "x" + std::to_string(m_height);
    case Kind::Bandwidth:
        return m_bandwidth % 1000 == 0 ? std::to_string(m_bandwidth / 1000) + "k" : std::to_string(m_bandwidth);
    }
    return {};
}

bool VariantChoice::Fits(const Offer& o) const
{
    switch (m_kind) {
    case Kind::Height: return o.height > 0 && o.height <= m_height;
    case Kind::Resolution: return o.height > 0 && o.height <= m_height && o.width <= m_width;
    case Kind::Bandwidth: return o.bandwidth > 0 && o.bandwidth <= m_bandwidth;
    case Kind::Best:
    case Kind::Lowest: return true;
    }
    return true;
}

int VariantChoice::Pick(const std::vector<Offer>& offers) const
{
    if (offers.empty()) {
        return -1;
    }
    const bool anyVideo = std::any_of(offers.begin(), offers.end(), [](const Offer& o) { return o.video; });
    int best = -1;
    int lowest = -1;
    for (int i = 0; i < static_cast<int>(offers.size()); ++i) {
        const Offer& o = offers[static_cast<std::size_t>(i)];
        if (o.video != anyVideo) {
            continue;
        }
        if (lowest < 0 || Rank(o) < Rank(offers[static_cast<std::size_t>(lowest)])) {
            lowest = i;
        }
        if (Fits(o) && (best < 0 || Rank(offers[static_cast<std::size_t>(best)]) < Rank(o))) {
            best = i;
        }
    }
    return m_kind == Kind::Lowest || best < 0 ? lowest : best;
}

}  // namespace dromo
