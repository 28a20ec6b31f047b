// Combo boxes over the COMBOBOX class. The style can change at run time: the window is made
// again with the items, selection, text, bounds, tab order and font it had, and a replaced
// WindowProc stays in place (it belongs to the object, not the window).
#pragma once
#include <windows.h>

#include <memory>

#include "forms/window_strings.h"
#include "forms/win_control.h"

namespace forms {

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TStrings* Items() const { return items_.get(); }
    void SetItems(const TStrings& items) { items_->Assign(items); }
    // -1: nothing selected. Setting it fires no event.
    int ItemIndex() const;
    void SetItemIndex(int v);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle v);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);
    // Lines the dropped-down list shows without scrolling.
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int v);
    // 0: no limit of ours.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    bool DroppedDown() const;
    void SetDroppedDown(bool v);
    void Clear();

    // A drop-down list shows only items: its text selects the item with that text (or
    // none); the other styles keep any text in their edit part.
    std::string GetText() const override;
    void SetText(const std::string& v) override;
    void SetBounds(int left, int top, int width, int height) override;
    void WndProc(TMessage& message) override;

    // Typing in the edit part, or a selection made in the list.
    TNotifyEvent OnChange;
    // A selection made in the list (after OnChange).
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void HandleDestroying() override;
    void BoundsChanged() override;
    virtual void Change();
    virtual void Select();

private:
    // The window's height: the closed box plus the list when it drops down.
    int WindowHeight() const;

    std::unique_ptr<TWindowStrings> items_;
    TComboBoxStyle style_ = csDropDown;
    bool sorted_ = false;
    int dropDownCount_ = 8;
    int maxLength_ = 0;
    int itemIndex_ = -1;
    std::string savedText_;
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

}  // namespace forms
