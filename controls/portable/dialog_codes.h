// Dialog codes as a set of flags, and their conversion to and from the window system's bits.
#pragma once
#include <cstdint>

namespace controls {

enum TDlgCodeFlag : unsigned {
    dcWantAllKeys = 1u << 0,
    dcWantArrows = 1u << 1,
    dcWantChars = 1u << 2,
    dcButton = 1u << 3,
    dcHasSetSel = 1u << 4,
    dcWantTab = 1u << 5,
    dcNative = 1u << 6,  // the answer of the form library, unchanged
};
using TDlgCodes = unsigned;

// The window system's DLGC_* values (kept here so that portable code needs no windows.h).
namespace dlgc {
constexpr std::uint32_t WantArrows = 0x0001, WantTab = 0x0002, WantAllKeys = 0x0004, HasSetSel = 0x0008,
                        WantChars = 0x0080, Button = 0x2000;
}

// Bits the set cannot express are dropped; dcNative is never produced.
TDlgCodes DlgCodesFromBits(std::uint32_t bits);
std::uint32_t DlgCodesToBits(TDlgCodes codes);

}  // namespace controls
