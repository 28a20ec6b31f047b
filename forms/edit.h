// Single-line edits and memos over the EDIT class.
#pragma once
#include <windows.h>

#include <memory>

#include "forms/portable/strings.h"
#include "forms/scroll_box.h"
#include "forms/win_control.h"

namespace forms {

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // 0: no limit of ours.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    // 0: the text is shown; otherwise every character shows as this one.
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase v);
    // Select the whole text when the focus arrives.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    bool Modified() const;
    void SetModified(bool v);

    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    std::string SelText() const;
    void SetSelText(const std::string& v);
    void SelectAll();
    void Clear() { SetText(""); }

    // A new text fires OnChange once (as typing does); the same text changes nothing.
    void SetText(const std::string& v) override;
    void WndProc(TMessage& message) override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void DoEnter() override;
    virtual void Change();
    // Window styles of the subclass (multi-line, scroll bars, wrapping).
    virtual DWORD EditStyle() const { return ES_AUTOHSCROLL; }

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    TBorderStyle borderStyle_ = bsSingle;
    TEditCharCase charCase_ = ecNormal;
    bool autoSelect_ = true;
    bool settingText_ = false;
    bool modified_ = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

class TCustomMemo;

// A memo's lines: its text split at line breaks (CR LF, LF or CR).
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
    std::string Get(int index) const override;
    int GetCount() const override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Put(int index, const std::string& s) override;
    void Clear() override;

protected:
    void SetUpdateState(bool updating) override;

private:
    TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(const TStrings& lines) { lines_->Assign(lines); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    // Off: long lines scroll sideways instead of wrapping.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle v);
    // Enter makes a new line (otherwise it goes to the form: the default button).
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool v) { wantReturns_ = v; }
    // Tab is typed into the text (otherwise it moves the focus).
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool v) { wantTabs_ = v; }

    void WndProc(TMessage& message) override;

protected:
    // For memo kinds that keep their lines another way (rich edit).
    explicit TCustomMemo(TComponent* owner, std::unique_ptr<TStrings> lines);
    DWORD EditStyle() const override;

private:
    std::unique_ptr<TStrings> lines_;
    TAlignment alignment_ = taLeftJustify;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

}  // namespace forms
