// TFormAutoSize: placed on a form, scales the form's controls in proportion to the form's
// outer size at every resize while Active. Push buttons keep their size and only move. A size
// change made while the frame is being fitted (forms/frame_fit.h) only becomes the new base.
#pragma once

#include "forms/events.h"
#include "forms/form.h"
#include "forms/portable/component.h"

namespace controls {

class TFormAutoSize : public forms::TComponent {
public:
    explicit TFormAutoSize(forms::TComponent* owner);
    ~TFormAutoSize() override;
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

    bool Active() const { return active_; }
    void SetActive(bool v) { active_ = v; }
    forms::TForm* TargetForm() const { return target_; }
    // The form's outer size at the last handled resize.
    int OldWidth() const { return oldWidth_; }
    int OldHeight() const { return oldHeight_; }

    // The form's resize handler; calls the handler the form had before.
    void FormResized(forms::TObject* sender);

protected:
    void Notification(forms::TComponent* component, forms::TOperation operation) override;

private:
    void Attach(forms::TForm* form);
    void ScaleControls(forms::TForm& form);
    void RememberSize(forms::TForm& form);

    bool active_ = false;
    forms::TForm* target_ = nullptr;
    int oldWidth_ = 0;
    int oldHeight_ = 0;
    forms::TNotifyEvent previousOnResize_;
};

}  // namespace controls
