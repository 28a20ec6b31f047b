// A canvas over a device context: its font, pen and brush are selected on demand, and the
// context it was given comes back to its owner with the original objects selected.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/graphics.h"

namespace forms {

inline RECT Rect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }
inline RECT Bounds(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }
inline POINT Point(int x, int y) { return POINT{x, y}; }

class TCanvas : public TObject {
public:
    TCanvas();
    ~TCanvas() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // Not owned; setting a new one (or nullptr) deselects the canvas's tools from the old.
    HDC Handle() const;
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont* Font() const { return font_.get(); }
    TPen* Pen() const { return pen_.get(); }
    TBrush* Brush() const { return brush_.get(); }
    void SetFont(TFont* f) { if (f) font_->Assign(*f); }
    void SetPen(TPen* p) { if (p) pen_->Assign(*p); }
    void SetBrush(TBrush* b) { if (b) brush_->Assign(*b); }

    POINT PenPos() const;
    void SetPenPos(POINT p) { MoveTo(p.x, p.y); }
    // The raster-operation of CopyRect (SRCCOPY by default).
    DWORD CopyMode = SRCCOPY;

    void FillRect(const RECT& r);
    void FrameRect(const RECT& r);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const RECT& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polygon(const std::vector<POINT>& points);
    void Polyline(const std::vector<POINT>& points);
    void TextOut(int x, int y, const std::string& text);
    // Text clipped to r, drawn at (x, y); the background is filled unless the brush is clear.
    void TextRect(const RECT& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    SIZE TextExtent(const std::string& text);
    void DrawFocusRect(const RECT& r);
    // Copies source's srcRect into destRect (stretching when sizes differ).
    void CopyRect(const RECT& destRect, TCanvas& source, const RECT& srcRect);
    // BitBlt of a whole-size block of the source at (x, y).
    void Draw(int x, int y, TCanvas& source, const RECT& srcRect);
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const RECT& r, TGraphic* graphic);

    // Per-pixel access, for tests and one-off reads only (never in drawing loops).
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Saves the canvas tools and the DC state; Restore puts both back (nestable).
    void Save();
    void Restore();

    // Called before each drawing call: subclasses (control and bitmap canvases) make a DC.
    virtual void CreateHandle() {}
    // Puts the DC's own objects back and frees the font's, pen's and brush's handles (they are
    // made again when next drawn with).
    void ReleaseToolHandles();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void RequireFont();
    void RequirePen();
    void RequireBrush();
    void Changing();
    void Changed();

private:
    void DeselectTools();

    HDC dc_ = nullptr;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
    HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
    HFONT selFont_ = nullptr;
    HPEN selPen_ = nullptr;
    HBRUSH selBrush_ = nullptr;
    struct Saved {
        int dcState;
        std::unique_ptr<TFont> font;
        std::unique_ptr<TPen> pen;
        std::unique_ptr<TBrush> brush;
    };
    std::vector<Saved> saved_;
};

}  // namespace forms
