#include "forms/page_control.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/common_controls.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TCustomTabControl::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomTabControl>("TCustomTabControl", &TWinControl::StaticClass()).Done();
    return info;
}

const TClassInfo& TTabSheet::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TTabSheet>("TTabSheet", &TWinControl::StaticClass())
                                       .Bool("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible)
                                       .Int("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex)
                                       .Int("TabIndex", &TTabSheet::TabIndex)
                                       .Done();
    return info;
}

const TClassInfo& TPageControl::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TPageControl>("TPageControl", &TCustomTabControl::StaticClass())
            .Int("ActivePageIndex", &TPageControl::ActivePageIndex, &TPageControl::SetActivePageIndex)
            .Int("PageCount", &TPageControl::PageCount)
            .Object("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
            .Done();
    return info;
}

// Tab strip.

TCustomTabControl::TCustomTabControl(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(csAcceptsControls | csDoubleClicks);
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

void TCustomTabControl::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_TAB_CLASSES);
    TWinControl::CreateParams(params);
    params.SystemClassName = WC_TABCONTROLA;
    params.Style |= WS_CLIPCHILDREN | TCS_TABS;
}

void TCustomTabControl::HandleCreated() {
    TWinControl::HandleCreated();
    UpdateTabs();
}

void TCustomTabControl::UpdateTabs() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    std::vector<std::string> captions = TabCaptions();
    int existing = static_cast<int>(SendMessageA(wnd, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = captions[static_cast<size_t>(i)].data();
        if (i < existing) SendMessageA(wnd, TCM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        else SendMessageA(wnd, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    for (int i = existing - 1; i >= static_cast<int>(captions.size()); --i) SendMessageA(wnd, TCM_DELETEITEM, static_cast<WPARAM>(i), 0);
    SelectTab(SelectedTab());
    Realign();
}

void TCustomTabControl::SelectTab(int index) {
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

RECT TCustomTabControl::DisplayRect() {
    RECT r = ClientRect();
    HWND wnd = WindowHandle();
    if (wnd == nullptr) {
        // Until there are tabs to measure: the usual frame and one row of tabs.
        r.left += 4;
        r.top += 24;
        r.right -= 4;
        r.bottom -= 4;
        return r;
    }
    GetClientRect(wnd, &r);
    SendMessageA(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

RECT TCustomTabControl::AlignArea() { return DisplayRect(); }

bool TCustomTabControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() {
    if (OnChange) OnChange(this);
}

void TCustomTabControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(message.LParam);
        if (header->code == TCN_SELCHANGING) {
            // TRUE refuses the change.
            message.Result = CanChange() ? FALSE : TRUE;
            return;
        }
        if (header->code == TCN_SELCHANGE) {
            Change();
            return;
        }
        break;
    }
    case CM_SHOWINGCHANGED:
        TWinControl::WndProc(message);
        // Only direct children hear of it from the base; the sheets' children must too.
        NotifyControls(CM_SHOWINGCHANGED);
        return;
    case WM_SIZE:
        TWinControl::WndProc(message);
        // The display area depends on the tab rows, which depend on the width.
        Realign();
        return;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

// Tab sheet.

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
    SetColor(clBtnFace);
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (pageControl_ != nullptr) pageControl_->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
    // Children's notifications come here and are reflected; the class brush is ours.
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TTabSheet::SetPageControl(TPageControl* v) {
    if (pageControl_ == v) return;
    if (pageControl_ != nullptr) pageControl_->RemovePage(this);
    pageControl_ = nullptr;
    SetParent(v);
    if (v != nullptr) v->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (pageControl_ == nullptr) return -1;
    auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int v) {
    if (pageControl_ != nullptr && v != PageIndex()) pageControl_->MovePage(this, v);
}

int TTabSheet::TabIndex() const {
    if (pageControl_ == nullptr || !tabVisible_) return -1;
    int index = 0;
    for (TTabSheet* page : pageControl_->pages_) {
        if (page == this) return index;
        if (page->tabVisible_) ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool v) {
    if (tabVisible_ == v) return;
    tabVisible_ = v;
    if (pageControl_ != nullptr) pageControl_->PageTabChanged();
}

void TTabSheet::SetText(const std::string& v) {
    if (v == GetText()) return;
    TWinControl::SetText(v);
    if (pageControl_ != nullptr) pageControl_->PageTabChanged();
}

void TTabSheet::CheckShowing() {
    bool now = Visible() && HandleAllocated() && Showing();
    if (now == shown_) return;
    shown_ = now;
    if (now) {
        if (OnShow) OnShow(this);
    } else if (OnHide) {
        OnHide(this);
    }
}

void TTabSheet::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CM_SHOWINGCHANGED:
        TWinControl::WndProc(message);
        CheckShowing();
        NotifyControls(CM_SHOWINGCHANGED);
        return;
    case WM_SHOWWINDOW:
    case WM_PAINT:
        TWinControl::WndProc(message);
        CheckShowing();
        return;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

// Page control.

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
    // The sheets may outlive us for a moment (owned elsewhere); they must not call back.
    for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
    pages_.clear();
    activePage_ = nullptr;
}

std::vector<std::string> TPageControl::TabCaptions() const {
    std::vector<std::string> captions;
    for (TTabSheet* page : pages_) {
        if (page->tabVisible_) captions.push_back(page->GetText());
    }
    return captions;
}

int TPageControl::SelectedTab() const { return activePage_ != nullptr ? activePage_->TabIndex() : -1; }

TTabSheet* TPageControl::PageForTab(int tabIndex) const {
    int index = 0;
    for (TTabSheet* page : pages_) {
        if (!page->tabVisible_) continue;
        if (index == tabIndex) return page;
        ++index;
    }
    return nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    UpdateTabs();
    if (activePage_ == nullptr) SetActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    TTabSheet* next = activePage_ == page ? FindNextPage(page, true, false) : activePage_;
    if (next == page) next = nullptr;
    pages_.erase(it);
    page->pageControl_ = nullptr;
    if (activePage_ == page) {
        activePage_ = nullptr;
        if (!IsDestroying()) SetActivePage(next);
    }
    if (!IsDestroying()) UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    pages_.erase(it);
    index = std::clamp(index, 0, static_cast<int>(pages_.size()));
    pages_.insert(pages_.begin() + index, page);
    UpdateTabs();
}

void TPageControl::PageTabChanged() { UpdateTabs(); }

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page != nullptr && page->pageControl_ != this) return;
    if (page == activePage_) return;
    TTabSheet* old = activePage_;
    activePage_ = page;
    if (page != nullptr) {
        RECT r = DisplayRect();
        page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        page->BringToFront();
        page->SetVisible(true);
    }
    if (old != nullptr) old->SetVisible(false);
    SelectTab(SelectedTab());
    if (old != nullptr) old->CheckShowing();
    if (page != nullptr) page->CheckShowing();
}

int TPageControl::ActivePageIndex() const { return activePage_ != nullptr ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    if (pages_.empty()) return nullptr;
    int count = PageCount();
    auto it = std::find(pages_.begin(), pages_.end(), current);
    int start = it == pages_.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
    int i = start;
    for (int step = 0; step < count; ++step) {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        TTabSheet* page = pages_[static_cast<size_t>(i)];
        if (!checkTabVisible || page->tabVisible_) return page;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward) {
    TTabSheet* page = FindNextPage(activePage_, goForward, true);
    if (page == nullptr || page == activePage_ || !CanChange()) return;
    SetActivePage(page);
    Change();
}

void TPageControl::Change() {
    // The tab strip moved first: the page follows before the handlers run.
    if (HWND wnd = WindowHandle()) {
        int tab = static_cast<int>(SendMessageA(wnd, TCM_GETCURSEL, 0, 0));
        if (TTabSheet* page = PageForTab(tab)) SetActivePage(page);
    }
    TCustomTabControl::Change();
}

void TPageControl::AlignControls(TControl* control, RECT& rect) {
    TCustomTabControl::AlignControls(control, rect);
    RECT r = DisplayRect();
    for (TTabSheet* page : pages_) page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace forms
