#include "forms/image.h"

#include <algorithm>

#include "forms/bitmap.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TImage::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TImage>("TImage", &TGraphicControl::StaticClass())
                                       .Object("Picture", &TImage::Picture, &TImage::SetPicture)
                                       .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch)
                                       .Bool("Center", &TImage::Center, &TImage::SetCenter)
                                       .Bool("Proportional", &TImage::Proportional, &TImage::SetProportional)
                                       .Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent)
                                       .Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
                                       .Done();
    return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
    controlStyle_ |= csReplicatable;
    SetBounds(0, 0, 105, 105);
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::SetPicture(TPicture* picture) {
    if (picture == picture_.get()) return;
    if (picture == nullptr) picture_->SetGraphic(static_cast<const TGraphic*>(nullptr));
    else picture_->Assign(*picture);
}

void TImage::SetStretch(bool v) {
    if (v == stretch_) return;
    stretch_ = v;
    PictureChanged();
}

void TImage::SetCenter(bool v) {
    if (v == center_) return;
    center_ = v;
    PictureChanged();
}

void TImage::SetProportional(bool v) {
    if (v == proportional_) return;
    proportional_ = v;
    PictureChanged();
}

void TImage::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    PictureChanged();
}

void TImage::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    if (v && !IsLoading()) ApplyAutoSize();
}

void TImage::ApplyAutoSize() {
    const int w = picture_->Width(), h = picture_->Height();
    if (w > 0 && h > 0) SetBounds(Left(), Top(), w, h);
}

RECT TImage::DestRect() const {
    const int cw = ClientWidth(), ch = ClientHeight();
    int w = picture_->Width(), h = picture_->Height();
    if (w > 0 && h > 0 && (stretch_ || (proportional_ && (w > cw || h > ch)))) {
        if (proportional_) {
            // The side that limits is the one with the smaller client-to-picture ratio;
            // products in 64 bits so that large pictures do not overflow.
            if (static_cast<long long>(cw) * h <= static_cast<long long>(ch) * w) {
                h = static_cast<int>(static_cast<long long>(h) * cw / w);
                w = cw;
            } else {
                w = static_cast<int>(static_cast<long long>(w) * ch / h);
                h = ch;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (center_) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return RECT{x, y, x + w, y + h};
}

void TImage::Paint() {
    TGraphic* graphic = picture_->Graphic();
    if (graphic == nullptr || graphic->Empty()) return;
    TGraphicControl::Canvas()->StretchDraw(DestRect(), graphic);
}

TCanvas* TImage::Canvas() {
    if (picture_->Graphic() == nullptr) {
        auto bitmap = std::make_unique<TBitmap>(std::max(Width(), 1), std::max(Height(), 1));
        bitmap->Canvas()->Brush()->SetColor(clWhite);
        bitmap->Canvas()->FillRect(Rect(0, 0, bitmap->Width(), bitmap->Height()));
        picture_->SetGraphic(std::move(bitmap));
    }
    auto* bitmap = dynamic_cast<TBitmap*>(picture_->Graphic());
    if (bitmap == nullptr) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
    return bitmap->Canvas();
}

void TImage::PictureChanged() {
    if (IsDestroying()) return;
    if (autoSize_ && !IsLoading()) ApplyAutoSize();
    TGraphic* graphic = picture_->Graphic();
    bool opaque = false;
    if (graphic != nullptr) {
        if (graphic->Transparent() != transparent_) {
            // Our own change of the graphic announces itself again; the image is already in step.
            TNotifyEvent saved = picture_->OnChange;
            picture_->OnChange = nullptr;
            graphic->SetTransparent(transparent_);
            picture_->OnChange = saved;
        }
        const RECT r = DestRect();
        opaque = !transparent_ && !graphic->Empty() && r.left <= 0 && r.top <= 0 && r.right >= Width() &&
                 r.bottom >= Height();
    }
    if (opaque) controlStyle_ |= csOpaque;
    else controlStyle_ &= ~csOpaque;
    Invalidate();
    if (OnChange) OnChange(this);
}

void TImage::Loaded() {
    TGraphicControl::Loaded();
    PictureChanged();
}

void TImage::ReleaseGdiHandles() {
    TGraphicControl::ReleaseGdiHandles();
    if (TGraphic* graphic = picture_->Graphic()) graphic->ReleaseHandles();
}

}  // namespace forms
