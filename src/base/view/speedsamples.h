#pragma once

#include <array>
#include <cstdint>

namespace dromo {

// The speed bar's history: 35 samples of bytes per second, newest first,
// with the scale maximum and the newest sample's share of it.
class SpeedSamples {
public:
    static constexpr int kSize = 35;

    void AddSample(std::int64_t bytesPerSecond);
    int PercentOfMax() const { return m_percent; }
    std::int64_t Max() const { return m_max; }
    int Count() const { return m_count; }
    // Sample 1 is the newest.
    std::int64_t Sample(int index) const { return m_samples[static_cast<std::size_t>(index)]; }
    // How many samples were ever added: a picture of them is stale only
    // when this moved since it was drawn.
    std::uint64_t Added() const { return m_added; }

private:
    std::array<std::int64_t, kSize + 2> m_samples{};  // index 1..35 used
    int m_count = 1;
    std::int64_t m_max = 0;
    int m_percent = 0;
    std::uint64_t m_added = 0;
};

}  // namespace dromo
