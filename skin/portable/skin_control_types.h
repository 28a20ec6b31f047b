// The control kinds a skin can be switched on for (TSkinData::SkinControls, one bit each).
#pragma once

namespace skin {

enum TSkinControlType {
    xcMainMenu, xcPopupMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton, xcProgress,
    xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox, xcStatusBar, xcTab, xcSystemMenu,
    xcFastReport,
};
using TSkinControlTypes = unsigned;  // bit n = member n
constexpr TSkinControlTypes kDefaultSkinControls = 0x7FFFB;  // all but xcMenuItem and xcFastReport

}  // namespace skin
