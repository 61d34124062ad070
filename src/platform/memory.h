#pragma once
// What the machine offers, for limits that must scale with it.
#include <cstddef>

namespace wux::platform {

// The physical memory of the machine in bytes; 0 when it cannot be told.
std::size_t physicalMemoryBytes();

}  // namespace wux::platform
