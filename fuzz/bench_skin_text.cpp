// bench_skin_text: what a hostile skin text costs to parse, through the skin-text fuzz entry
// (the text beside a few small bitmaps): 16,000 palette sections, each read by its own name, and
// the most caption-button sections a skin may have, all naming one bitmap. Peak memory held
// during the parse and the median time of 5 runs, in this tree's build (sanitized, so slower
// than the programs).
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/skin_fuzz_entry.h"
#include "tests/support/bench_figures.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A 24-bit bitmap file of w × h pixels.
std::vector<std::uint8_t> Bitmap(int w, int h) {
    const int stride = (w * 3 + 3) & ~3;
    const std::uint32_t data = static_cast<std::uint32_t>(stride * h), file = 54 + data;
    std::vector<std::uint8_t> b(54, 0);
    b.resize(file, 0x40);
    auto put = [&](int at, std::uint32_t v, int n) {
        for (int k = 0; k < n; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, file, 4), put(6, 0, 4), put(10, 54, 4), put(14, 40, 4), put(18, w, 4), put(22, h, 4);
    put(26, 1, 2), put(28, 24, 2), put(34, data, 4);
    return b;
}

}  // namespace

int main() {
    std::string sections, buttons;
    for (int i = 0; i < 16000; ++i) sections += "[Colour" + std::to_string(i) + "]\ncolor=1 2 3\n";
    for (int i = 0; i < 64; ++i) buttons += "[Button" + std::to_string(i) + "]\r\nAction=1\r\nButtonImage=f.bmp\r\n";
    std::vector<std::uint8_t> oneBitmap = Bytes(buttons);
    oneBitmap.push_back(0);
    const std::vector<std::uint8_t> picture = Bitmap(256, 256);
    oneBitmap.insert(oneBitmap.end(), picture.begin(), picture.end());
    const struct { const char* what; std::vector<std::uint8_t> input; } cases[] = {
        {"16000 palette sections, each its own name", Bytes(sections)},
        {"64 caption buttons naming one 256 x 256 bitmap", oneBitmap},
    };
    std::printf("skin text parse (machine load %s)\n", bench::MachineLoad().c_str());
    for (const auto& c : cases) {
        std::vector<double> seconds;
        std::size_t peak = 0;
        for (int run = 0; run < 5; ++run) {
            const fuzz::InputCost cost = fuzz::FuzzSkinTextOnce(c.input.data(), c.input.size());
            seconds.push_back(cost.seconds);
            peak = cost.peakBytes;
        }
        std::printf("  %-50s %7zu bytes in: %8.1f ms, peak %6.1f MB\n", c.what, c.input.size(),
                    1000 * bench::Median(seconds), peak / 1048576.0);
    }
}
