#include "controls/form_auto_size.h"

#include "controls/portable/form_auto_size_math.h"
#include "forms/button.h"
#include "forms/frame_fit.h"
#include "forms/portable/properties.h"

#include <vector>

namespace controls {
namespace {

using namespace forms;

TForm* OwnersForm(TComponent* owner) {
    auto* control = dynamic_cast<TControl*>(owner);
    return control != nullptr ? GetParentForm(control) : nullptr;
}

}  // namespace

const TClassInfo& TFormAutoSize::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TFormAutoSize>("TFormAutoSize", &TComponent::StaticClass())
                                       .Bool("Active", &TFormAutoSize::Active, &TFormAutoSize::SetActive)
                                       .Done();
    return info;
}

TFormAutoSize::TFormAutoSize(TComponent* owner) : TComponent(owner) {
    if (TForm* form = OwnersForm(owner)) Attach(form);
}

TFormAutoSize::~TFormAutoSize() {
    // A form being destroyed has no use for its handler any more (and may be half gone).
    if (target_ != nullptr && !target_->IsDestroying()) {
        target_->OnResize = nullptr;
        target_->RemoveFreeNotification(this);
    }
    target_ = nullptr;
}

void TFormAutoSize::Attach(TForm* form) {
    target_ = form;
    oldWidth_ = form->Width();
    oldHeight_ = form->Height();
    previousOnResize_ = form->OnResize;
    form->OnResize = [this](TObject* sender) { FormResized(sender); };
    form->FreeNotification(this);
}

void TFormAutoSize::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == target_) target_ = nullptr;
}

void TFormAutoSize::FormResized(TObject* sender) {
    if (target_ == nullptr) {
        if (TForm* form = OwnersForm(Owner())) Attach(form);
    }
    // A minimised window reports its iconic size: scaling to it would wreck the layout that
    // the restore has to bring back.
    const bool iconic = target_ != nullptr && target_->WindowHandle() != nullptr && IsIconic(target_->WindowHandle());
    // A frame the program fits (a skin put on or taken off) changes the outer size around the
    // same content: the controls stay and the new size is the one to scale from.
    const bool fitting = target_ != nullptr && forms::IsFittingFrame(target_->WindowHandle());
    if (active_ && target_ != nullptr && !iconic) {
        if (fitting) RememberSize(*target_);
        else ScaleControls(*target_);
    }
    if (previousOnResize_) previousOnResize_(sender);
}

void TFormAutoSize::RememberSize(TForm& form) {
    if (form.Width() <= 0 || form.Height() <= 0) return;
    oldWidth_ = form.Width();
    oldHeight_ = form.Height();
}

void TFormAutoSize::ScaleControls(TForm& form) {
    const int width = form.Width(), height = form.Height();
    if (const auto scale = AutoSizeScaleFor(oldWidth_, oldHeight_, width, height)) {
        // A copy: moving a control may create or free components.
        const std::vector<TComponent*> owned = form.ComponentList();
        for (TComponent* component : owned) {
            auto* control = dynamic_cast<TControl*>(component);
            if (control == nullptr) continue;
            const AutoSizeBounds now{control->Left(), control->Top(), control->Width(), control->Height()};
            const bool resizable = dynamic_cast<TButton*>(control) == nullptr;
            const AutoSizeBounds next = ScaleBounds(now, *scale, resizable);
            if (resizable) {
                control->SetWidth(next.width);
                control->SetHeight(next.height);
            }
            control->SetLeft(next.left);
            control->SetTop(next.top);
        }
    } else if (width <= 0 || height <= 0) {
        return;  // keep the size to scale from
    }
    oldWidth_ = width;
    oldHeight_ = height;
}

}  // namespace controls
