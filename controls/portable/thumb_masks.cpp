#include "controls/portable/thumb_masks.h"

#include "controls/portable/thumb_math.h"

namespace controls {

std::vector<std::string> BuildMaskList(std::string_view filter) {
    std::string joined;
    std::string_view rest = filter;
    for (;;) {
        std::size_t bar = rest.find('|');
        if (bar == std::string_view::npos) {
            joined += ";" + std::string(rest);
            break;
        }
        rest.remove_prefix(bar + 1);  // the description
        bar = rest.find('|');
        if (bar == std::string_view::npos) {
            joined += ";" + std::string(rest);
            break;
        }
        joined += ";" + std::string(rest.substr(0, bar));
        rest.remove_prefix(bar + 1);  // the mask field
    }
    const std::string lines = ReplaceAllText(joined, ";", "\n", false);
    std::vector<std::string> masks;
    std::size_t from = 0;
    while (from <= lines.size()) {
        std::size_t end = lines.find('\n', from);
        if (end == std::string::npos) end = lines.size();
        if (end > from) masks.emplace_back(lines.substr(from, end - from));
        from = end + 1;
    }
    return masks;
}

}  // namespace controls
