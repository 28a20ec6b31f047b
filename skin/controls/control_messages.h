// The control skins' private messages.
#pragma once
#include <windows.h>

namespace skin {

// Answered 1 by a window that already carries a skin.
constexpr UINT WM_SKIN_SKINNED_QUERY = 0x3504;
// wParam > 0 switches one control's skin on (and repaints it), 0 or less off.
constexpr UINT WM_SKIN_CONTROL_SWITCH = 0x3506;

}  // namespace skin
