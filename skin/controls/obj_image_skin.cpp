#include "skin/controls/obj_image_skin.h"

#include <string>

#include "forms/canvas.h"
#include "forms/gdi_handle.h"
#include "forms/win_control.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/portable/control_frames.h"
#include "skin/controls/property_access.h"
#include "skin/skin_data.h"

namespace skin {

void BuildCheckGlyphs(const forms::PixelBuffer& strip, int frames, forms::TBitmap& out) {
    out.FreeImage();
    if (strip.empty() || frames < 1) return;
    const int w = strip.width() / frames;
    const int h = strip.height();
    if (w == 0) return;
    forms::TBitmap source(strip.width(), h, forms::pf24bit);
    forms::PixelBuffer copy = strip;
    forms::CopyPixels(copy.view(), source.Pixels());
    out.SetSize(9 * w, h);
    HDC target = out.Canvas()->Handle();
    RECT all{0, 0, 9 * w, h};
    // Slots the strip has no frame for stay transparent.
    forms::UniqueBrush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    FillRect(target, &all, magenta.get());
    const CheckGlyphSlots slots = CheckGlyphSlotsFor(frames);
    for (int slot = 0; slot < 9; ++slot) {
        const int from = slots.source[slot];
        if (from >= 0) BitBlt(target, slot * w, 0, w, h, source.Canvas()->Handle(), from * w, 0, SRCCOPY);
    }
}

void TSkinObjImage::AttachControl(TControlSkinList* list, TSkinData* data, bool) {
    if (Attached()) return;
    auto* control = dynamic_cast<forms::TWinControl*>(Owner());
    if (control == nullptr) return;
    SetData(data);
    SetList(list);
    SetControl(control);
    SetHandle(control->Handle());
    if (list != nullptr) list->Add(this);
    HandOverGlyphs();
    MarkAttached();
    SetLifeState(kLifeAttached);
}

void TSkinObjImage::HandOverGlyphs() {
    forms::TWinControl* control = Control();
    const SkinElements* e = Elements();
    auto* glyphs = GetObjectPropByName<forms::TBitmap>(control, "CustomGlyphs");
    if (glyphs == nullptr || e == nullptr || !e->buttons) return;
    forms::TBitmap built;
    BuildCheckGlyphs(e->buttons->checkImage, e->buttons->CheckButtonFrame, built);
    if (built.Width() == 0) return;
    glyphs->Assign(built);
    SetPropByName(control, "TransparentColor", std::to_string(0xFF00FF));
    // Off and on again, so that the control reloads the glyphs.
    SetPropByName(control, "UseCustomGlyphs", "False");
    SetPropByName(control, "UseCustomGlyphs", "True");
}

void TSkinObjImage::RefreshSkin() { HandOverGlyphs(); }

void TSkinObjImage::Unskin() {
    TSkinControl::Unskin();
    if (LifeState() != kLifeDead) SetPropByName(Control(), "UseCustomGlyphs", "False");
}

}  // namespace skin
