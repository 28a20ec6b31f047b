#include "controls/portable/dialog_codes.h"

#include <gtest/gtest.h>

namespace controls {
namespace {

TEST(DialogCodes, EachFlagHasItsOwnBit) {
    const struct {
        TDlgCodes codes;
        std::uint32_t bits;
    } cases[] = {
        {dcWantAllKeys, 0x0004}, {dcWantArrows, 0x0001}, {dcWantChars, 0x0080},
        {dcButton, 0x2000},      {dcHasSetSel, 0x0008},  {dcWantTab, 0x0002},
        {dcWantAllKeys | dcWantArrows, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DlgCodesToBits(c.codes), c.bits) << c.codes;
        EXPECT_EQ(DlgCodesFromBits(c.bits), c.codes) << c.bits;
    }
}

TEST(DialogCodes, NativeAndUnknownBitsAreNotCarried) {
    EXPECT_EQ(DlgCodesToBits(dcNative), 0u);
    // DLGC_DEFPUSHBUTTON (0x10) and DLGC_STATIC (0x100) have no flag of their own.
    EXPECT_EQ(DlgCodesFromBits(0x0010 | 0x0100 | 0x0001), TDlgCodes{dcWantArrows});
}

}  // namespace
}  // namespace controls
