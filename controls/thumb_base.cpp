#include "controls/thumb_base.h"

#include <windowsx.h>

#include "controls/ctl_themes.h"
#include "forms/gdi_handle.h"
#include "forms/portable/properties.h"

namespace controls {

using forms::TClassInfo;
using forms::TMouseButton;

namespace {

template <class T> T* ParentAs(const forms::TControl* control) {
    return control->Parent() != nullptr ? dynamic_cast<T*>(control->Parent()) : nullptr;
}

}  // namespace

TBaseThumbView::TBaseThumbView(forms::TComponent* owner) : TExScrollBox(owner) {
    SetControlStyle((ControlStyle() | forms::csOpaque) & ~forms::csSetCaption);
    AddThemeStyle(this, forms::csNeedsBorderPaint);
}

const TClassInfo& TBaseThumbView::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TBaseThumbView>("TBaseThumbView", &TExScrollBox::StaticClass()).Done();
    return info;
}

TBaseThumbnail::TBaseThumbnail(forms::TComponent* owner) : TForwardingPart(owner) {
    forms::TControlStyle style = ControlStyle() & ~forms::csSetCaption;
    // A button press on a cell must not capture the mouse away from the view.
    if (dynamic_cast<TBaseThumbView*>(owner) != nullptr) style &= ~forms::csCaptureMouse;
    SetControlStyle(style);
}

const TClassInfo& TBaseThumbnail::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TBaseThumbnail>("TBaseThumbnail", &TExPanel::StaticClass()).Done();
    return info;
}

bool TBaseThumbnail::DoEraseBackground(forms::TCanvas* canvas, LPARAM param) {
    TExPanel::DoEraseBackground(canvas, param);
    return true;
}

TThumbTitle::TThumbTitle(forms::TComponent* owner) : TForwardingPart(owner) {
    forms::TControlStyle style = ControlStyle() & ~forms::csSetCaption;
    if (dynamic_cast<TBaseThumbnail*>(owner) != nullptr)
        style &= ~(forms::csCaptureMouse | forms::csClickEvents | forms::csDoubleClicks);
    SetControlStyle(style);
    AddThemeStyle(this, forms::csNeedsBorderPaint);
}

const TClassInfo& TThumbTitle::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TThumbTitle>("TThumbTitle", &TExPanel::StaticClass()).Done();
    return info;
}

bool TThumbTitle::DoEraseBackground(forms::TCanvas* canvas, LPARAM param) {
    TExPanel::DoEraseBackground(canvas, param);
    return true;
}

TBaseThumbImage::TBaseThumbImage(forms::TComponent* owner) : TExImage(owner) {
    SetControlStyle(ControlStyle() & ~forms::csSetCaption);
}

const TClassInfo& TBaseThumbImage::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TBaseThumbImage>("TBaseThumbImage", &TExImage::StaticClass())
                                       .Bool("IgnoreMouse", &TBaseThumbImage::IgnoreMouse, &TBaseThumbImage::SetIgnoreMouse)
                                       .Done();
    return info;
}

TBaseThumbnail* TBaseThumbImage::Cell() const { return ParentAs<TBaseThumbnail>(this); }

bool TBaseThumbImage::HitTest(int x, int y) {
    if (ComponentState() & forms::csDesigning) return TExImage::HitTest(x, y);
    return !ignoreMouse_;
}

void TBaseThumbImage::MouseDown(TMouseButton button, forms::TShiftState shift, int x, int y) {
    if (TBaseThumbnail* cell = Cell()) cell->MouseDown(button, shift, x + Left(), y + Top());
    else TExImage::MouseDown(button, shift, x, y);
}

void TBaseThumbImage::MouseUp(TMouseButton button, forms::TShiftState shift, int x, int y) {
    if (TBaseThumbnail* cell = Cell()) cell->MouseUp(button, shift, x + Left(), y + Top());
    else TExImage::MouseUp(button, shift, x, y);
}

void TBaseThumbImage::MouseMove(forms::TShiftState shift, int x, int y) {
    if (TBaseThumbnail* cell = Cell()) cell->MouseMove(shift, x + Left(), y + Top());
    else TExImage::MouseMove(shift, x, y);
}

void TBaseThumbImage::WndProc(forms::TMessage& m) {
    TExImage::WndProc(m);
    // A windowless picture takes the right button from its cell's window, whose own
    // handling would have asked for the context menu: ask for it here, as the cell.
    if (m.Msg != WM_RBUTTONUP) return;
    TBaseThumbnail* cell = Cell();
    if (cell == nullptr || !cell->HandleAllocated()) return;
    const POINT screen = ClientToScreen(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
    cell->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(cell->Handle()), MAKELPARAM(screen.x, screen.y));
}

void TBaseThumbImage::Click() {
    if (TBaseThumbnail* cell = Cell()) cell->Click();
    else TExImage::Click();
}

void TBaseThumbImage::DblClick() {
    if (TBaseThumbnail* cell = Cell()) cell->DblClick();
    else TExImage::DblClick();
}

bool PackedLocalDateTime(const FILETIME& time, std::uint32_t& packed) {
    FILETIME local;
    WORD date = 0, dosTime = 0;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToDosDateTime(&local, &date, &dosTime)) return false;
    packed = (static_cast<std::uint32_t>(date) << 16) | dosTime;
    return true;
}

void TFileName::SetFileName(const std::string& v) {
    fileName_ = v;
    if (v != longName_ && v != shortName_) Refresh();
}

void TFileName::SetLength(std::int32_t v) { fileName_.resize(static_cast<std::size_t>(v < 0 ? 0 : v), ' '); }

void TFileName::SetFound(const std::string& v, const WIN32_FIND_DATAA& found) {
    fileName_ = v;
    Fill(found);
}

void TFileName::Refresh() {
    WIN32_FIND_DATAA found{};
    if (!forms::UniqueFind(forms::NullIfInvalid(FindFirstFileA(fileName_.c_str(), &found)))) return;
    Fill(found);
}

void TFileName::Fill(const WIN32_FIND_DATAA& found) {
    longName_ = found.cFileName;
    shortName_ = found.cAlternateFileName;
    if (shortName_.empty()) shortName_ = longName_;
    if (longName_.empty()) longName_ = shortName_;
    const struct {
        const FILETIME& time;
        double& field;
    } times[] = {{found.ftLastAccessTime, lastAccessTime_}, {found.ftLastWriteTime, lastWriteTime_},
                 {found.ftCreationTime, creationTime_}};
    for (const auto& t : times) {
        std::uint32_t packed = 0;
        PackedLocalDateTime(t.time, packed);
        t.field = static_cast<double>(packed);
    }
    size_ = static_cast<std::int32_t>(found.nFileSizeLow);
}

}  // namespace controls
