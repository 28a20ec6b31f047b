#include "forms/tab_set.h"

#include <algorithm>

#include "forms/canvas.h"
#include "forms/gdi_handle.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TTabSet::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TTabSet>("TTabSet", &TCustomControl::StaticClass())
                                       .Int("TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex)
                                       .Int("FirstIndex", &TTabSet::FirstIndex, &TTabSet::SetFirstIndex)
                                       .Int("StartMargin", &TTabSet::StartMargin, &TTabSet::SetStartMargin)
                                       .Int("EndMargin", &TTabSet::EndMargin, &TTabSet::SetEndMargin)
                                       .Done();
    return info;
}

namespace {
constexpr int kScrollerWidth = 20;
}

TTabSet::TTabSet(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 21);
    scroller_ = new TUpDown(this);
    scroller_->SetOrientation(udHorizontal);
    scroller_->SetVisible(false);
    scroller_->SetParent(this);
    scroller_->OnChange = [this](TObject*) { SetFirstIndex(scroller_->Position()); };
}

int TTabSet::TabRoom() const { return scroller_ != nullptr && scroller_->Visible() ? 21 : 9; }

void TTabSet::Resize() {
    TCustomControl::Resize();
    UpdateScroller();
}

void TTabSet::UpdateScroller() {
    if (scroller_ == nullptr) return;  // still being made
    const int count = static_cast<int>(tabs_.size());
    bool show = firstIndex_ > 0;
    if (!show && count > 0) {
        const RECT last = TabRect(count - 1, 9);
        show = IsRectEmpty(&last);
    }
    scroller_->SetMax(std::max(0, count - 1));
    scroller_->SetPosition(firstIndex_);
    scroller_->SetBounds(Width() - endMargin_ - kScrollerWidth, 1, kScrollerWidth, std::max(1, Height() - 2));
    scroller_->SetVisible(show);
}

void TTabSet::SetTabs(std::vector<std::string> tabs) {
    tabs_ = std::move(tabs);
    if (tabIndex_ >= static_cast<int>(tabs_.size())) tabIndex_ = static_cast<int>(tabs_.size()) - 1;
    firstIndex_ = std::clamp(firstIndex_, 0, std::max(0, static_cast<int>(tabs_.size()) - 1));
    UpdateScroller();
    Invalidate();
}

void TTabSet::SetTabIndex(int v) {
    v = std::clamp(v, -1, static_cast<int>(tabs_.size()) - 1);
    if (tabIndex_ == v) return;
    tabIndex_ = v;
    Invalidate();
    if (OnChange) OnChange(this);
}

void TTabSet::SetFirstIndex(int v) {
    v = std::clamp(v, 0, std::max(0, static_cast<int>(tabs_.size()) - 1));
    if (firstIndex_ == v) return;
    firstIndex_ = v;
    UpdateScroller();
    Invalidate();
}

void TTabSet::SetStartMargin(int v) {
    if (startMargin_ == v) return;
    startMargin_ = v;
    Invalidate();
}

void TTabSet::SetEndMargin(int v) {
    if (endMargin_ == v) return;
    endMargin_ = v;
    UpdateScroller();
    Invalidate();
}

int TTabSet::TextWidth(const std::string& text) {
    ScreenDC screen;
    UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
    SelectedObject font(dc.get(), Font()->Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

RECT TTabSet::TabRect(int index, int room) {
    if (index < firstIndex_ || index >= static_cast<int>(tabs_.size())) return RECT{};
    int x = startMargin_;
    for (int i = firstIndex_; i < static_cast<int>(tabs_.size()); ++i) {
        const int w = TextWidth(tabs_[static_cast<size_t>(i)]) + 9;
        if (x + w > Width() - endMargin_ - room) return RECT{};
        if (i == index) return RECT{x, 0, x + w, Height()};
        x += w;
    }
    return RECT{};
}

void TTabSet::Paint() {
    HDC dc = Canvas()->Handle();
    RECT all{0, 0, Width(), Height()};
    Brush()->SetColor(Color());
    FillRect(dc, &all, Brush()->Handle());
    SelectedObject font(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    for (int i = firstIndex_; i < static_cast<int>(tabs_.size()); ++i) {
        RECT r = TabRect(i);
        if (IsRectEmpty(&r)) break;
        // Tabs hang down from the page above them; the selected one stands forward.
        if (i != tabIndex_) r.bottom -= 2;
        FillRect(dc, &r, GetSysColorBrush(i == tabIndex_ ? COLOR_WINDOW : COLOR_BTNFACE));
        DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_RIGHT | BF_BOTTOM);
        const std::string& text = tabs_[static_cast<size_t>(i)];
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void TTabSet::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    for (int i = firstIndex_; i < static_cast<int>(tabs_.size()); ++i) {
        RECT r = TabRect(i);
        if (IsRectEmpty(&r)) break;
        if (x >= r.left && x < r.right) {
            SetTabIndex(i);
            return;
        }
    }
}

}  // namespace forms
