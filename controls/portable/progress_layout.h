// The arithmetic of the painted progress bar: percentage, filled width snapped to blocks,
// the fills that draw bar, gaps and unfilled part, the gradient, and the text.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace controls {

// vantburn truncates where the editor rounds (its products are 64-bit as well).
enum class TProgressArithmetic { Rounding, Truncating };

enum TTextOption : std::uint8_t { toCaption, toFormat, toNoText, toPercent };

// 0 when maximum = minimum; else (position - minimum) * 100 / (maximum - minimum).
int PercentDone(std::int64_t position, std::int64_t minimum, std::int64_t maximum, TProgressArithmetic arithmetic);

struct TBarLayout {
    int BarWidth = 0;  // filled pixels from x = 1
    int BlockWidth = 0;
    int BlockCount = 0;
    bool HasPartialBlock = false;
    int PartialBlockWidth = 0;
};

// The layout for the position; nullopt when it cannot be computed (maximum = minimum, or a
// client narrower than 2), in which case the bar keeps what it had. Block fields are only
// written when not solid; the others come from previous.
std::optional<TBarLayout> ComputeBarLayout(const TBarLayout& previous, std::int64_t position, std::int64_t minimum,
                                           std::int64_t maximum, int clientWidth, int clientHeight, bool solid,
                                           TProgressArithmetic arithmetic);

// One filled rectangle from y = 1 to clientHeight - 1: in rgb (red in the low byte), or in the
// control's Color when background.
struct TBarFill {
    int Left = 0;
    int Width = 0;
    bool Background = false;
    std::uint32_t Rgb = 0;
    bool operator==(const TBarFill&) const = default;
};

// The fills of the bar (solid or blocks), its gaps and the unfilled part, in drawing order.
std::vector<TBarFill> PlanBarFills(const TBarLayout& layout, int clientWidth, int clientHeight, bool solid,
                                   bool gradientBlocks, std::uint32_t startRgb, std::uint32_t endRgb);

// The colour running from start to end across barWidth steps.
class TBarGradient {
public:
    TBarGradient(std::uint32_t startRgb, std::uint32_t endRgb, int barWidth);
    std::uint32_t Color() const;
    void Advance(double steps = 1.0);

private:
    double value_[3];
    double step_[3];
};

// The caption under toFormat: "%d" stands for the percentage and "%%" for a percent sign; a
// caption with anything else after a "%" (or a second "%d") is shown unchanged.
std::string FormatPercentCaption(const std::string& caption, int percent);
// The text for the option; nullopt for toNoText.
std::optional<std::string> BarText(TTextOption option, const std::string& caption, int percent);

struct TTextPosition {
    int X = 0;
    int Y = 0;
};
// Centred in area (the client width, or the filled width) and in the client height; never
// negative.
TTextPosition BarTextPosition(int area, int clientHeight, int textWidth, int textHeight);

}  // namespace controls
