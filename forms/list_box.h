// A list of lines over the LISTBOX class; Items live in the window.
#pragma once
#include <windows.h>

#include <memory>

#include "forms/window_strings.h"
#include "forms/win_control.h"
#include "forms/scroll_box.h"

namespace forms {

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TStrings* Items() const { return items_.get(); }
    void SetItems(const TStrings& items) { items_->Assign(items); }
    // -1: nothing selected.
    int ItemIndex() const;
    void SetItemIndex(int v);
    // The first line shown.
    int TopIndex() const;
    void SetTopIndex(int v);
    int ItemHeight() const;
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    // Whole lines only: the height snaps to a multiple of the line height.
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool v);
    void Clear() { items_->Clear(); }
    // Scrolls as little as needed to show the line.
    void MakeVisible(int index);
    // Appends a line and shows it, as a log does; the index of the new line.
    int AddAndShow(const std::string& line);
    // The line at a client point, -1 when none.
    int ItemAtPos(POINT p, bool existing) const;
    RECT ItemRect(int index) const;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void HandleDestroying() override;

private:
    std::unique_ptr<TWindowStrings> items_;
    int itemIndex_ = -1;
    int topIndex_ = 0;
    bool sorted_ = false;
    bool integralHeight_ = false;
    TBorderStyle borderStyle_ = bsSingle;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

}  // namespace forms
