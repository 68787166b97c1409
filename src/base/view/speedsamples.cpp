#include "base/view/speedsamples.h"

namespace dromo {

void SpeedSamples::AddSample(std::int64_t v)
{
    ++m_added;
    ++m_count;
    m_max = v;
    int n = m_count;
    if (m_count >= kSize) {
        m_count = kSize;
        n = kSize - 1;
    }
    for (int k = n; k >= 1; --k) {
        if (m_samples[static_cast<std::size_t>(k)] > m_max) {
            m_max = m_samples[static_cast<std::size_t>(k)];
        }
        m_samples[static_cast<std::size_t>(k) + 1] = m_samples[static_cast<std::size_t>(k)];
    }
    m_samples[1] = v > 0 ? v : 0;
    m_percent = m_max > 0 ? static_cast<int>(m_samples[1] * 100 / m_max) : 0;
}

}  // namespace dromo
