// The skin engine's private window messages.
#pragma once
#include <windows.h>

namespace skin {

constexpr UINT kMsgRecolour = 0x3401;
constexpr UINT kMsgRepaintFrame = 0x3502;
constexpr UINT kMsgAttachControls = 0x3503;
// Answered 1 by a window that already carries a skin (a form skin or a control skin).
constexpr UINT kMsgSkinnedQuery = 0x3504;
// With this wParam a control answers how many control skins its window procedure chains
// (0 for none), so that a second skin on one control shows from outside the process.
constexpr WPARAM kSkinnedQueryCount = 1;
// wParam > 0 switches one control's skin on (and repaints it), 0 or less off.
constexpr UINT kMsgControlSwitch = 0x3506;
constexpr UINT kMsgSysButtonAction = 0x3514;
constexpr UINT kMsgSysButtonVisible = 0x3515;

}  // namespace skin
