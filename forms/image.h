// A windowless control that shows a picture: as it is, centred, stretched, or scaled to fit
// with its aspect kept. Painted by its parent like every graphic control.
#pragma once
#include <memory>

#include "forms/graphic_control.h"
#include "forms/picture.h"

namespace forms {

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // Owned by the image; changing its graphic (or drawing into it) repaints the image.
    TPicture* Picture() const { return picture_.get(); }
    // Copies the other picture's graphic (nullptr empties the picture).
    void SetPicture(TPicture* picture);

    // Scales the picture to the client area (with Proportional: as large as fits, aspect kept).
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    // Centres the drawn picture in the client area instead of the top-left corner.
    bool Center() const { return center_; }
    void SetCenter(bool v);
    // Keeps the aspect ratio and shrinks a picture larger than the client area; enlarges only
    // together with Stretch.
    bool Proportional() const { return proportional_; }
    void SetProportional(bool v);
    // Hands Transparent to the graphic (a bitmap then leaves its transparent colour out), and
    // the parent's background shows through.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Takes the picture's size whenever the picture changes (an empty picture leaves it).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);

    // Where the picture is drawn now, in client coordinates.
    RECT DestRect() const;

    // Drawing into the picture (not the paint canvas of the graphic control): an empty
    // picture first becomes a bitmap of the image's size; any other kind of graphic raises
    // EInvalidOperation.
    TCanvas* Canvas();

    // After each change of the picture, once the image has taken it.
    TNotifyEvent OnChange;
    // The picture's GDI objects too; the picture itself stays.
    void ReleaseGdiHandles() override;

protected:
    void Paint() override;
    void Loaded() override;
    virtual void PictureChanged();

private:
    void ApplyAutoSize();

    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool proportional_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
};

}  // namespace forms
