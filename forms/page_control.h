// Tabs over SysTabControl32, and the page control whose tab sheets are container children
// shown one at a time in the tabs' display area.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "forms/win_control.h"

namespace forms {

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// The tab strip itself: tab captions, the selected tab, and the change events of a click.
class TCustomTabControl : public TWinControl {
public:
    explicit TCustomTabControl(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // The area inside the frame, below the tabs (client coordinates).
    RECT DisplayRect();
    RECT AlignArea() override;
    void WndProc(TMessage& message) override;

    // A user's tab choice: OnChanging may refuse it; OnChange follows it.
    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    virtual bool CanChange();
    virtual void Change();
    // The tab captions, in order; the tab strip is rebuilt from them.
    virtual std::vector<std::string> TabCaptions() const = 0;
    virtual int SelectedTab() const = 0;
    void UpdateTabs();
    void SelectTab(int index);
};

class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TPageControl* PageControl() const { return pageControl_; }
    // Puts the sheet on a page control (as its last page) and makes that its parent.
    void SetPageControl(TPageControl* v);
    // The place among the pages.
    int PageIndex() const;
    void SetPageIndex(int v);
    // Whether the sheet has a tab; a sheet without one can still be the active page.
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool v);
    // The place among the visible tabs, -1 without a tab.
    int TabIndex() const;

    void SetText(const std::string& v) override;
    void WndProc(TMessage& message) override;

    // Each time the sheet comes into view (its page control's first showing too).
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    friend class TPageControl;
    void CheckShowing();

    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    bool shown_ = false;
};

class TPageControl : public TCustomTabControl {
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
    // Setting it fires no OnChange or OnChanging (those are the user's); the sheets'
    // OnHide and OnShow do fire.
    TTabSheet* ActivePage() const { return activePage_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // The next (or previous) page from `current`, wrapping round; only pages with a tab when
    // asked. nullptr when there is none.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward);

protected:
    std::vector<std::string> TabCaptions() const override;
    int SelectedTab() const override;
    void Change() override;
    void AlignControls(TControl* control, RECT& rect) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void PageTabChanged();
    TTabSheet* PageForTab(int tabIndex) const;

    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
};

}  // namespace forms
