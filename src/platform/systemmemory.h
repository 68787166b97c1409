#pragma once

#include <cstdint>

namespace dromo {

// Total physical memory in bytes; 0 when the system does not say.
std::uint64_t PhysicalMemoryBytes();

}  // namespace dromo
