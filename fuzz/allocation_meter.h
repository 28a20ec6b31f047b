// Counts the bytes the program holds through operator new, and the most it held since the last
// reset: linking this file replaces the global allocation operators of the program.
#pragma once
#include <cstddef>

namespace fuzz {

// Starts a new peak at what is held now, and answers that.
std::size_t ResetAllocationPeak();
std::size_t AllocationPeak();

}  // namespace fuzz
