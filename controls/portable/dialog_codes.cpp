#include "controls/portable/dialog_codes.h"

namespace controls {
namespace {

constexpr struct {
    TDlgCodeFlag flag;
    std::uint32_t bit;
} kDlgCodeBits[] = {
    {dcWantAllKeys, dlgc::WantAllKeys}, {dcWantArrows, dlgc::WantArrows}, {dcWantChars, dlgc::WantChars},
    {dcButton, dlgc::Button},           {dcHasSetSel, dlgc::HasSetSel},   {dcWantTab, dlgc::WantTab},
};

}  // namespace

TDlgCodes DlgCodesFromBits(std::uint32_t bits) {
    TDlgCodes codes = 0;
    for (const auto& e : kDlgCodeBits) {
        if (bits & e.bit) codes |= e.flag;
    }
    return codes;
}

std::uint32_t DlgCodesToBits(TDlgCodes codes) {
    std::uint32_t bits = 0;
    for (const auto& e : kDlgCodeBits) {
        if (codes & e.flag) bits |= e.bit;
    }
    return bits;
}

}  // namespace controls
