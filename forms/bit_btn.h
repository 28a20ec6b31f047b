// A push button with a glyph strip (TBitBtn): owner-drawn over the BUTTON class with the
// glyph's normal, disabled and pressed frames beside its caption. Without a glyph it shows
// an image of its image list instead.
#pragma once
#include "forms/button.h"
#include "forms/glyph_button.h"
#include "forms/image_list.h"

namespace forms {

class TBitBtn : public TGlyphButton<TButton> {
public:
    explicit TBitBtn(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // Not owned; forgotten when the list is freed.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v);
    // -1: none.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    // The image while disabled; -1: the ImageIndex image drawn disabled.
    int DisabledIndex() const { return disabledIndex_; }
    void SetDisabledIndex(int v);

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Notification(TComponent* component, TOperation operation) override;
    FaceGlyph FaceImage(int frame, bool enabled) override;

private:
    TImageList* images_ = nullptr;
    int imageIndex_ = -1;
    int disabledIndex_ = -1;
};

}  // namespace forms
