// Up-down arrow pairs (alone, inside an edit, or beside a tab strip): each half painted from
// the UpDown element in its own state, the pressed frame only in the half under the cursor.
#pragma once
#include "skin/controls/skin_control.h"

namespace skin {

class TSkinUpDown : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinUpDown"; }

    void SetInsideEdit(bool v) { insideEdit_ = v; }
    void SetHorizontal(bool v) { horizontal_ = v; }

private:
    bool insideEdit_ = false;
    bool horizontal_ = false;
};

// The first up-down among wnd's children (class "msctls_updown32", or a name holding "spin"
// or "updown"), nullptr when none.
HWND FindUpDownChild(HWND wnd);

}  // namespace skin
