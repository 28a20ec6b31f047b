#include "forms/canvas.h"

#include "forms/portable/properties.h"

namespace forms {

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
    // A changed tool is selected again before the next drawing call.
    // A changed tool goes out of the DC now (its old handle is about to be deleted) and is
    // selected again before the next drawing call.
    font_->OnChange = [this](TObject*) {
        if (selFont_ != nullptr && oldFont_ != nullptr) SelectObject(dc_, oldFont_);
        selFont_ = nullptr;
    };
    pen_->OnChange = [this](TObject*) {
        if (selPen_ != nullptr && oldPen_ != nullptr) SelectObject(dc_, oldPen_);
        selPen_ = nullptr;
    };
    brush_->OnChange = [this](TObject*) {
        if (selBrush_ != nullptr && oldBrush_ != nullptr) SelectObject(dc_, oldBrush_);
        selBrush_ = nullptr;
    };
}

TCanvas::~TCanvas() { DeselectTools(); }

const TClassInfo& TCanvas::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TCanvas>("TCanvas", &TObject::StaticClass())
                                       .Object("Font", &TCanvas::Font, &TCanvas::SetFont)
                                       .Object("Pen", &TCanvas::Pen, &TCanvas::SetPen)
                                       .Object("Brush", &TCanvas::Brush, &TCanvas::SetBrush)
                                       .Done();
    return info;
}

HDC TCanvas::Handle() const {
    if (dc_ == nullptr) const_cast<TCanvas*>(this)->CreateHandle();
    return dc_;
}

void TCanvas::DeselectTools() {
    if (dc_ == nullptr) return;
    if (oldFont_ != nullptr) SelectObject(dc_, oldFont_);
    if (oldPen_ != nullptr) SelectObject(dc_, oldPen_);
    if (oldBrush_ != nullptr) SelectObject(dc_, oldBrush_);
    oldFont_ = oldPen_ = oldBrush_ = nullptr;
    selFont_ = nullptr;
    selPen_ = nullptr;
    selBrush_ = nullptr;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    DeselectTools();
    dc_ = dc;
}

void TCanvas::RequireFont() {
    HDC dc = Handle();
    if (dc == nullptr) return;
    HFONT f = font_->Handle();
    if (selFont_ != f) {
        HGDIOBJ old = SelectObject(dc, f);
        if (oldFont_ == nullptr) oldFont_ = old;
        selFont_ = f;
    }
    SetTextColor(dc, ColorToRGB(font_->Color()));
}

void TCanvas::RequirePen() {
    HDC dc = Handle();
    if (dc == nullptr) return;
    HPEN p = pen_->Handle();
    if (selPen_ != p) {
        HGDIOBJ old = SelectObject(dc, p);
        if (oldPen_ == nullptr) oldPen_ = old;
        selPen_ = p;
    }
    // The pen modes are not in the order of the R2_ codes.
    static constexpr int kRop2[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                                    R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,
                                    R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN, R2_NOTXORPEN};
    const int mode = static_cast<int>(pen_->Mode());
    SetROP2(dc, mode >= 0 && mode < 16 ? kRop2[mode] : R2_COPYPEN);
}

void TCanvas::RequireBrush() {
    HDC dc = Handle();
    if (dc == nullptr) return;
    HBRUSH b = brush_->Handle();
    if (selBrush_ != b) {
        HGDIOBJ old = SelectObject(dc, b);
        if (oldBrush_ == nullptr) oldBrush_ = old;
        selBrush_ = b;
    }
    SetBkColor(dc, ColorToRGB(brush_->Color()));
    SetBkMode(dc, brush_->Style() == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::Changing() { if (OnChanging) OnChanging(this); }
void TCanvas::Changed() { if (OnChange) OnChange(this); }

POINT TCanvas::PenPos() const {
    POINT p{};
    if (HDC dc = Handle()) MoveToEx(dc, 0, 0, &p), MoveToEx(dc, p.x, p.y, nullptr);
    return p;
}

void TCanvas::FillRect(const RECT& r) {
    Changing();
    RequireBrush();
    if (HDC dc = Handle()) ::FillRect(dc, &r, brush_->Handle());
    Changed();
}

void TCanvas::FrameRect(const RECT& r) {
    Changing();
    RequireBrush();
    if (HDC dc = Handle()) ::FrameRect(dc, &r, brush_->Handle());
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Changing();
    RequirePen();
    RequireBrush();
    if (HDC dc = Handle()) ::Rectangle(dc, x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    Changing();
    RequirePen();
    RequireBrush();
    if (HDC dc = Handle()) ::RoundRect(dc, x1, y1, x2, y2, x3, y3);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Changing();
    RequirePen();
    RequireBrush();
    if (HDC dc = Handle()) ::Ellipse(dc, x1, y1, x2, y2);
    Changed();
}

void TCanvas::MoveTo(int x, int y) {
    if (HDC dc = Handle()) MoveToEx(dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    RequirePen();
    if (HDC dc = Handle()) ::LineTo(dc, x, y);
    Changed();
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
    if (points.empty()) return;
    Changing();
    RequirePen();
    RequireBrush();
    if (HDC dc = Handle()) ::Polygon(dc, points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
    if (points.empty()) return;
    Changing();
    RequirePen();
    if (HDC dc = Handle()) ::Polyline(dc, points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Changing();
    RequireFont();
    RequireBrush();
    if (HDC dc = Handle()) ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    Changed();
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::string& text) {
    Changing();
    RequireFont();
    RequireBrush();
    if (HDC dc = Handle()) {
        UINT options = ETO_CLIPPED;
        if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
        ::ExtTextOutA(dc, x, y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    }
    Changed();
}

SIZE TCanvas::TextExtent(const std::string& text) {
    SIZE s{};
    RequireFont();
    if (HDC dc = Handle()) GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
    return s;
}

int TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

void TCanvas::DrawFocusRect(const RECT& r) {
    Changing();
    RequireBrush();
    if (HDC dc = Handle()) ::DrawFocusRect(dc, &r);
    Changed();
}

void TCanvas::CopyRect(const RECT& d, TCanvas& source, const RECT& s) {
    Changing();
    RequireBrush();
    source.RequireBrush();
    HDC dc = Handle();
    HDC src = source.Handle();
    if (dc != nullptr && src != nullptr) {
        int dw = d.right - d.left, dh = d.bottom - d.top, sw = s.right - s.left, sh = s.bottom - s.top;
        if (dw == sw && dh == sh) {
            BitBlt(dc, d.left, d.top, dw, dh, src, s.left, s.top, CopyMode);
        } else {
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, d.left, d.top, dw, dh, src, s.left, s.top, sw, sh, CopyMode);
        }
    }
    Changed();
}

void TCanvas::Draw(int x, int y, TCanvas& source, const RECT& s) {
    CopyRect(Bounds(x, y, s.right - s.left, s.bottom - s.top), source, s);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    graphic->Draw(*this, Bounds(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::StretchDraw(const RECT& r, TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    graphic->Draw(*this, r);
}

TColor TCanvas::Pixel(int x, int y) {
    HDC dc = Handle();
    return dc == nullptr ? clNone : static_cast<TColor>(GetPixel(dc, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    Changing();
    if (HDC dc = Handle()) ::SetPixel(dc, x, y, ColorToRGB(color));
    Changed();
}

void TCanvas::Save() {
    Saved s;
    s.dcState = dc_ != nullptr ? SaveDC(dc_) : 0;
    s.font = std::make_unique<TFont>();
    s.font->Assign(*font_);
    s.pen = std::make_unique<TPen>();
    s.pen->Assign(*pen_);
    s.brush = std::make_unique<TBrush>();
    s.brush->Assign(*brush_);
    saved_.push_back(std::move(s));
}

void TCanvas::Restore() {
    if (saved_.empty()) return;
    Saved s = std::move(saved_.back());
    saved_.pop_back();
    if (dc_ != nullptr && s.dcState != 0) {
        RestoreDC(dc_, s.dcState);
        // RestoreDC reselected what was selected at Save time; select the tools afresh.
        selFont_ = nullptr;
        selPen_ = nullptr;
        selBrush_ = nullptr;
    }
    font_->Assign(*s.font);
    pen_->Assign(*s.pen);
    brush_->Assign(*s.brush);
}

void TCanvas::ReleaseToolHandles() {
    DeselectTools();
    font_->ReleaseHandle();
    pen_->ReleaseHandle();
    brush_->ReleaseHandle();
}

}  // namespace forms
