// The default mapping of other libraries' control classes to a skin kind: lines of class name,
// "=" and kind, in the stored order (three lines occur twice).
#pragma once
#include <string>
#include <vector>

namespace skin {

const std::vector<std::string>& DefaultSkin3rd();

}  // namespace skin
