#include "forms/graphics.h"

#include "forms/portable/properties.h"
#include "forms/portable/streams.h"

namespace forms {

COLORREF ColorToRGB(TColor color) {
    if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
    return static_cast<COLORREF>(color);
}

int ScreenPixelsPerInch() {
    static const int ppi = [] {
        ScreenDC dc;
        int v = GetDeviceCaps(dc.get(), LOGPIXELSY);
        return v > 0 ? v : 96;
    }();
    return ppi;
}

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// Font

TFont::TFont() : ppi_(ScreenPixelsPerInch()) { height_ = -MulDiv(8, ppi_, 72); }

const TClassInfo& TFont::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TFont>("TFont", &TObject::StaticClass())
                                       .Str("Name", &TFont::Name, &TFont::SetName)
                                       .Int("Size", &TFont::Size, &TFont::SetSize)
                                       .Int("Height", &TFont::Height, &TFont::SetHeight)
                                       .Int("Color", &TFont::Color, &TFont::SetColor)
                                       .Int("Charset", &TFont::Charset, &TFont::SetCharset)
                                       .Int("Style", &TFont::Style, &TFont::SetStyle)
                                       .Done();
    return info;
}

void TFont::Modified() {
    // Deleted after OnChange, when a canvas has deselected it.
    UniqueFont old(handle_.release());
    Changed();
}

void TFont::Assign(const TFont& s) {
    if (&s == this || SameAs(s)) return;
    name_ = s.name_;
    height_ = s.height_;
    style_ = s.style_;
    color_ = s.color_;
    charset_ = s.charset_;
    ppi_ = s.ppi_;
    Modified();
}

bool TFont::SameAs(const TFont& o) const {
    return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ &&
           charset_ == o.charset_;
}

void TFont::SetName(const std::string& v) {
    if (v == name_ || v.empty()) return;
    name_ = v;
    Modified();
}

int TFont::Size() const { return -MulDiv(height_, 72, ppi_); }

void TFont::SetSize(int v) { SetHeight(-MulDiv(v, ppi_, 72)); }

void TFont::SetHeight(int v) {
    if (v == height_) return;
    height_ = v;
    Modified();
}

void TFont::SetStyle(TFontStyles v) {
    if (v == style_) return;
    style_ = v;
    Modified();
}

void TFont::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    Changed();  // the handle does not carry the colour
}

void TFont::SetCharset(BYTE v) {
    if (v == charset_) return;
    charset_ = v;
    Modified();
}

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTA lf{};
        lf.lfHeight = height_;
        lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
        lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = charset_;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_.reset(CreateFontIndirectA(&lf));
    }
    return handle_.get();
}

// Pen

const TClassInfo& TPen::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TPen>("TPen", &TObject::StaticClass())
            .Int("Color", &TPen::Color, &TPen::SetColor)
            .Int("Width", &TPen::Width, &TPen::SetWidth)
            .Enum("Style", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"},
                  &TPen::Style, &TPen::SetStyle)
            .Done();
    return info;
}

void TPen::Modified() {
    // Deleted after OnChange, when a canvas has deselected it.
    UniquePen old(handle_.release());
    Changed();
}

void TPen::Assign(const TPen& s) {
    if (&s == this) return;
    if (color_ == s.color_ && width_ == s.width_ && style_ == s.style_ && mode_ == s.mode_) return;
    color_ = s.color_;
    width_ = s.width_;
    style_ = s.style_;
    mode_ = s.mode_;
    Modified();
}

void TPen::SetColor(TColor v) { if (v != color_) { color_ = v; Modified(); } }
void TPen::SetWidth(int v) { if (v != width_ && v >= 0) { width_ = v; Modified(); } }
void TPen::SetStyle(TPenStyle v) { if (v != style_) { style_ = v; Modified(); } }
void TPen::SetMode(TPenMode v) { if (v != mode_) { mode_ = v; Changed(); } }

HPEN TPen::Handle() const {
    if (!handle_) {
        static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_.reset(CreatePen(kStyles[style_], width_, ColorToRGB(color_)));
    }
    return handle_.get();
}

// Brush

const TClassInfo& TBrush::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TBrush>("TBrush", &TObject::StaticClass())
            .Int("Color", &TBrush::Color, &TBrush::SetColor)
            .Enum("Style", {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"},
                  &TBrush::Style, &TBrush::SetStyle)
            .Done();
    return info;
}

void TBrush::Modified() {
    // Deleted after OnChange, when a canvas has deselected it.
    UniqueBrush old(handle_.release());
    Changed();
}

void TBrush::Assign(const TBrush& s) {
    if (&s == this) return;
    if (color_ == s.color_ && style_ == s.style_ && bitmap_ == s.bitmap_) return;
    color_ = s.color_;
    style_ = s.style_;
    bitmap_ = s.bitmap_;
    Modified();
}

void TBrush::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    if (style_ == bsClear) style_ = bsSolid;
    Modified();
}
void TBrush::SetStyle(TBrushStyle v) { if (v != style_) { style_ = v; Modified(); } }
void TBrush::SetBitmap(HBITMAP v) { if (v != bitmap_) { bitmap_ = v; Modified(); } }

HBRUSH TBrush::Handle() const {
    if (!handle_) {
        if (bitmap_ != nullptr) {
            handle_.reset(CreatePatternBrush(bitmap_));
        } else if (style_ == bsClear) {
            LOGBRUSH lb{BS_NULL, 0, 0};
            handle_.reset(CreateBrushIndirect(&lb));
        } else if (style_ == bsSolid) {
            handle_.reset(CreateSolidBrush(ColorToRGB(color_)));
        } else {
            static constexpr int kHatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
            handle_.reset(CreateHatchBrush(kHatches[style_], ColorToRGB(color_)));
        }
    }
    return handle_.get();
}

// Graphic

void TGraphic::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

}  // namespace forms
