#include "controls/portable/progress_layout.h"

#include <algorithm>
#include <cmath>

namespace controls {
namespace {

// a * b / c for a, b >= 0 and c > 0: rounded to nearest with halves up (the platform's
// MulDiv on non-negative values), or truncated.
std::int64_t ScaledDiv(std::int64_t a, std::int64_t b, std::int64_t c, TProgressArithmetic arithmetic) {
    const std::int64_t product = a * b;
    if (arithmetic == TProgressArithmetic::Truncating) return product / c;
    return (product + c / 2) / c;
}

}  // namespace

int PercentDone(std::int64_t position, std::int64_t minimum, std::int64_t maximum, TProgressArithmetic arithmetic) {
    if (maximum <= minimum) return 0;
    position = std::clamp(position, minimum, maximum);
    return static_cast<int>(ScaledDiv(position - minimum, 100, maximum - minimum, arithmetic));
}

std::optional<TBarLayout> ComputeBarLayout(const TBarLayout& previous, std::int64_t position, std::int64_t minimum,
                                           std::int64_t maximum, int clientWidth, int clientHeight, bool solid,
                                           TProgressArithmetic arithmetic) {
    if (maximum <= minimum || clientWidth < 2) return std::nullopt;
    position = std::clamp(position, minimum, maximum);
    TBarLayout layout = previous;
    const int inner = clientWidth - 2;
    int w = static_cast<int>(ScaledDiv(position - minimum, inner, maximum - minimum, arithmetic));
    if (!solid) {
        layout.BlockWidth = (std::max(clientHeight, 0) * 2) / 3;
        const int bw = layout.BlockWidth;
        if (bw == 0) {
            w = 0;
        } else {
            const int n = w / bw;
            layout.BlockCount = n;
            const int room = std::min(bw, inner - n * bw);
            const int rest = w % bw;
            if (room < 2 * rest) {
                layout.BlockCount = n + 1;
                layout.HasPartialBlock = room < bw;
                layout.PartialBlockWidth = room;
                w = layout.HasPartialBlock ? inner : bw * (n + 1);
            } else {
                layout.HasPartialBlock = false;
                w = bw * n;
            }
        }
    }
    layout.BarWidth = w;
    return layout;
}

TBarGradient::TBarGradient(std::uint32_t startRgb, std::uint32_t endRgb, int barWidth) {
    for (int c = 0; c < 3; ++c) {
        const double from = static_cast<double>((startRgb >> (8 * c)) & 0xFF);
        const double to = static_cast<double>((endRgb >> (8 * c)) & 0xFF);
        value_[c] = from;
        step_[c] = barWidth != 0 ? (to - from) / barWidth : 0.0;
    }
}

std::uint32_t TBarGradient::Color() const {
    std::uint32_t rgb = 0;
    for (int c = 0; c < 3; ++c) {
        const auto v = static_cast<std::int64_t>(std::nearbyint(value_[c]));  // halves to even
        rgb |= static_cast<std::uint32_t>(v & 0xFF) << (8 * c);
    }
    return rgb;
}

void TBarGradient::Advance(double steps) {
    for (int c = 0; c < 3; ++c) value_[c] += steps * step_[c];
}

std::vector<TBarFill> PlanBarFills(const TBarLayout& layout, int clientWidth, int clientHeight, bool solid,
                                   bool gradientBlocks, std::uint32_t startRgb, std::uint32_t endRgb) {
    (void)clientHeight;
    std::vector<TBarFill> fills;
    const int bar = layout.BarWidth;
    const bool flat = startRgb == endRgb;
    TBarGradient gradient(startRgb, endRgb, bar);
    if (solid) {
        if (bar > 0) {
            if (flat) {
                fills.push_back({1, bar, false, startRgb});
            } else {
                for (int i = 1; i <= bar; ++i) {
                    fills.push_back({i, 1, false, gradient.Color()});
                    gradient.Advance();
                }
            }
        }
    } else if (bar > 0 && layout.BlockWidth > 0) {
        const int bw = layout.BlockWidth;
        const int fullBlocks = layout.HasPartialBlock ? layout.BlockCount - 1 : layout.BlockCount;
        int x = 1;
        for (int b = 0; b < fullBlocks; ++b, x += bw) {
            if (flat) {
                fills.push_back({x, bw - 1, false, startRgb});
            } else if (!gradientBlocks) {
                fills.push_back({x, bw - 1, false, gradient.Color()});
                gradient.Advance(bw);
            } else {
                for (int i = 0; i < bw - 1; ++i) {
                    fills.push_back({x + i, 1, false, gradient.Color()});
                    gradient.Advance();
                }
                gradient.Advance();  // the gap column
            }
        }
        if (layout.HasPartialBlock) {
            if (flat || !gradientBlocks) {
                fills.push_back({x, layout.PartialBlockWidth, false, flat ? startRgb : gradient.Color()});
            } else {
                for (int i = 0; i < layout.PartialBlockWidth; ++i) {
                    fills.push_back({x + i, 1, false, gradient.Color()});
                    gradient.Advance();
                }
            }
        }
        for (int b = 1; b <= fullBlocks; ++b) fills.push_back({b * bw, 1, true, 0});
    }
    if (bar < clientWidth - 2) fills.push_back({bar + 1, clientWidth - 2 - bar, true, 0});
    return fills;
}

std::string FormatPercentCaption(const std::string& caption, int percent) {
    std::string out;
    bool used = false;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '%') {
            out += caption[i];
            continue;
        }
        const char next = i + 1 < caption.size() ? caption[i + 1] : '\0';
        if (next == '%') {
            out += '%';
        } else if (next == 'd' && !used) {
            out += std::to_string(percent);
            used = true;
        } else {
            return caption;
        }
        ++i;
    }
    return out;
}

std::optional<std::string> BarText(TTextOption option, const std::string& caption, int percent) {
    switch (option) {
        case toCaption: return caption;
        case toFormat: return FormatPercentCaption(caption, percent);
        case toPercent: return std::to_string(percent) + "%";
        default: return std::nullopt;
    }
}

TTextPosition BarTextPosition(int area, int clientHeight, int textWidth, int textHeight) {
    return TTextPosition{std::max((area - textWidth) / 2, 0), std::max((clientHeight - textHeight) / 2, 0)};
}

}  // namespace controls
