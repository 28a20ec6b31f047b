// A rich-text memo over the rich-edit control of RICHED32.DLL. Lines load and save RTF
// (or plain text with PlainText) through the control's own streaming.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "forms/edit.h"

namespace forms {

class TCustomRichEdit;

// The rich edit's Lines: the memo's line access plus RTF streaming. LoadFromFile and
// friends here hide the plain-text ones of TStrings: call them through this type.
class TRichEditStrings : public TMemoStrings {
public:
    explicit TRichEditStrings(TCustomRichEdit* edit);
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

private:
    TCustomRichEdit* edit_;
};

class TCustomRichEdit : public TCustomMemo {
public:
    explicit TCustomRichEdit(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TRichEditStrings* Lines() const { return richLines_; }
    // Loading and saving as plain text instead of RTF.
    bool PlainText() const { return plainText_; }
    void SetPlainText(bool v) { plainText_ = v; }

    // The control's whole content as RTF (or plain text), and back.
    std::string StreamOut(bool asRtf);
    void StreamIn(const std::string& data, bool asRtf);
    // Stored comment bytes: RTF when they read as RTF, otherwise plain text (what an older or
    // interrupted save may leave); no bytes, no text.
    void LoadRtfOrText(const std::string& data);

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void HandleDestroying() override;

private:
    // Text is shown and stored in a TrueType face: a bitmap face (the form's default)
    // comes back from a saved file with broken spacing.
    void UseTrueTypeFace();

    TRichEditStrings* richLines_;
    bool plainText_ = false;
    // RTF kept while the window is being made again.
    std::string savedRtf_;
};

class TRichEdit : public TCustomRichEdit {
public:
    explicit TRichEdit(TComponent* owner) : TCustomRichEdit(owner) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

// The window class the rich edit superclasses (the library is loaded on first use).
const char* RichEditClassName();

}  // namespace forms
