// A TStrings whose entries live in a list or combo box window. Without a window (before the
// first one is made, or while it is being recreated) they live in a cache that is moved
// into the next window.
#pragma once
#include <windows.h>

#include "forms/portable/string_list.h"

namespace forms {

class TWinControl;

class TWindowStrings : public TStrings {
public:
    // The message family of one window class (LB_* or CB_*).
    struct Messages {
        UINT AddString, InsertString, DeleteString, GetText, GetTextLen, GetCount, ResetContent,
            GetItemData, SetItemData, FindStringExact;
    };
    static const Messages ListBoxMessages;
    static const Messages ComboBoxMessages;

    TWindowStrings(TWinControl* control, const Messages& messages);

    std::string Get(int index) const override;
    int GetCount() const override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    TObject* GetObjectAt(int index) const override;
    void PutObjectAt(int index, TObject* object) override;
    // A sorted window places the entry itself.
    int Add(const std::string& s) override;

    // Whether the window sorts (LBS_SORT/CBS_SORT); the cache follows it.
    void SetSorted(bool sorted) { cache_.SetSorted(sorted); }

    // Window moves: entries into the cache before the window goes, back after it is made.
    void SaveToCache();
    void RestoreFromCache();

protected:
    void SetUpdateState(bool updating) override;

private:
    HWND Window() const;
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;

    TWinControl* control_;
    Messages msgs_;
    TStringList cache_;
};

}  // namespace forms
