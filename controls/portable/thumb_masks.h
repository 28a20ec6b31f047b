// File masks from a dialog-style filter: "Description|mask;mask|Description|mask".
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace controls {

// Every second field is a mask field, a filter without a bar is one mask field, and a
// trailing description with no mask after it counts as a mask field; a mask field may hold
// several masks separated by ";". Masks keep the filter's order; empty ones are dropped.
std::vector<std::string> BuildMaskList(std::string_view filter);

}  // namespace controls
