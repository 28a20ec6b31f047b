// Colour resolution and the drawing tools: fonts, pens and brushes with change
// notification and lazily created GDI handles; the abstract picture kind TGraphic.
#pragma once
#include <windows.h>

#include <string>

#include "forms/events.h"
#include "forms/gdi_handle.h"
#include "forms/portable/colors.h"
#include "forms/portable/object.h"

namespace forms {

class TCanvas;
class TStream;

// A TColor as a COLORREF: system colours through GetSysColor; clNone and clDefault as they
// are (callers test for them first).
COLORREF ColorToRGB(TColor color);
// The screen's pixels per inch (logical), read once.
int ScreenPixelsPerInch();

enum TFontStyleFlag : unsigned { fsBold = 1u << 0, fsItalic = 1u << 1, fsUnderline = 1u << 2, fsStrikeOut = 1u << 3 };
using TFontStyles = unsigned;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
                pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// A drawing tool: OnChange fires after each real change (setters return at once on the
// same value).
class TGraphicsObject : public TObject {
public:
    TNotifyEvent OnChange;

protected:
    void Changed();
};

class TFont : public TGraphicsObject {
public:
    TFont();
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    void Assign(const TFont& source);
    bool SameAs(const TFont& other) const;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& v);
    // Points; Height is in pixels, negative for the character height (Size and Height
    // convert through ScreenPixelsPerInch).
    int Size() const;
    void SetSize(int v);
    int Height() const { return height_; }
    void SetHeight(int v);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles v);
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    BYTE Charset() const { return charset_; }
    void SetCharset(BYTE v);
    int PixelsPerInch() const { return ppi_; }
    void SetPixelsPerInch(int v) { ppi_ = v; }
    bool Bold() const { return (style_ & fsBold) != 0; }

    // Created on first use, dropped on change.
    HFONT Handle() const;
    // Frees the handle; the next Handle() makes it again. Not while it is selected anywhere.
    void ReleaseHandle() { handle_.reset(); }

private:
    void Modified();

    std::string name_ = "MS Sans Serif";
    int height_;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    BYTE charset_ = DEFAULT_CHARSET;
    int ppi_;
    mutable UniqueFont handle_;
};

class TPen : public TGraphicsObject {
public:
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
    void Assign(const TPen& source);

    TColor Color() const { return color_; }
    void SetColor(TColor v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode v);
    HPEN Handle() const;
    void ReleaseHandle() { handle_.reset(); }

private:
    void Modified();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    mutable UniquePen handle_;
};

class TBrush : public TGraphicsObject {
public:
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
    void Assign(const TBrush& source);

    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle v);
    // A pattern bitmap, not owned; overrides Style while set.
    HBITMAP Bitmap() const { return bitmap_; }
    void SetBitmap(HBITMAP v);
    HBRUSH Handle() const;
    void ReleaseHandle() { handle_.reset(); }

private:
    void Modified();
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    HBITMAP bitmap_ = nullptr;
    mutable UniqueBrush handle_;
};

// Pictures (bitmaps, JPEG images) that draw themselves on a canvas.
class TGraphic : public TObject {
public:
    TNotifyEvent OnChange;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int v) = 0;
    virtual void SetHeight(int v) = 0;
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool v);
    // Draws the picture scaled into rect.
    virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromFile(const std::string& fileName);
    virtual void SaveToFile(const std::string& fileName);
    // Gives back the GDI objects made to draw the picture, keeping the picture itself.
    virtual void ReleaseHandles() {}

protected:
    void Changed();

private:
    bool transparent_ = false;
};

}  // namespace forms
