// Registers the common-control window classes a control needs (once per class family).
#pragma once
#include <windows.h>

namespace forms {

// ICC_* flags; safe to call again.
void EnsureCommonControls(DWORD classes);

}  // namespace forms
