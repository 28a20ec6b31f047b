// The non-client mouse objects a skinned frame is made of: one hot object per form skin, and
// the title-bar system buttons that paint themselves by their mouse state.
#pragma once
#include "skin/portable/skin_slicing.h"

namespace skin {

class TSkinForm;
class TDataSkinSysButton;

class TNCObject {
public:
    explicit TNCObject(TSkinForm* formSkin) : formSkin_(formSkin) {}
    virtual ~TNCObject() = default;
    TNCObject(const TNCObject&) = delete;
    TNCObject& operator=(const TNCObject&) = delete;

    virtual void MouseDown();
    virtual void MouseUp();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Paint() {}

    SkinRect rect;  // frame coordinates
    bool visible = false;
    int mouseState = 1;  // 1 normal, 2 pressed, 3 hot

protected:
    TSkinForm* formSkin_;
};

class TWinSysButton : public TNCObject {
public:
    TWinSysButton(TSkinForm* formSkin, TDataSkinSysButton* element, int index)
        : TNCObject(formSkin), element(element), index(index) {}
    void Paint() override;
    TDataSkinSysButton* element;
    int index;
};

}  // namespace skin
