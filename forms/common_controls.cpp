#include "forms/common_controls.h"

#include <commctrl.h>

namespace forms {

void EnsureCommonControls(DWORD classes) {
    static DWORD done = 0;
    if ((done & classes) == classes) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, classes};
    if (InitCommonControlsEx(&icc)) done |= classes;
}

}  // namespace forms
