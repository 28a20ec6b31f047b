// The rich edit as the comment boxes use it: stored bytes of any kind load, and text comes
// back in a TrueType face.
#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "forms/rich_edit.h"
#include "forms/tests/win/standard_controls_fixture.h"

namespace forms {
namespace {

using RichComments = testing_support::ShownForm;

int CALLBACK NoteTrueType(const LOGFONTA*, const TEXTMETRICA*, DWORD type, LPARAM found) {
    if (type & TRUETYPE_FONTTYPE) *reinterpret_cast<bool*>(found) = true;
    return 1;
}

bool IsTrueType(const std::string& face) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &wanted, &NoteTrueType, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

// The face of the whole text (empty when it is mixed).
std::string FaceOfText(TRichEdit* rich) {
    SendMessageA(rich->Handle(), EM_SETSEL, 0, -1);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(rich->Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return (format.dwMask & CFM_FACE) ? format.szFaceName : "";
}

TRichEdit* NewRich(TForm* form) {
    auto* rich = new TRichEdit(form);
    rich->SetParent(form);
    rich->SetBounds(10, 10, 300, 200);
    return rich;
}

TEST_F(RichComments, StoredBytesLoadAsRtfOrAsTheirPlainText) {
    const struct { const char* bytes; const char* text; } cases[] = {
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain \\b bold\\b0\\par second}", "plain bold\r\nsecond"},
        {"Just typed words\r\nand a second line", "Just typed words\r\nand a second line"},
        {"", ""},
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 cut off in the mid", "cut off in the mid"},
    };
    auto* rich = NewRich(form);
    for (const auto& c : cases) {
        rich->Lines()->SetText("left over");
        rich->LoadRtfOrText(c.bytes);
        std::string text = rich->Text();
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
        EXPECT_EQ(text, c.text) << c.bytes;
    }
}

// A comment written with the form's bitmap face read back with broken spacing.
TEST_F(RichComments, TextIsWrittenAndReadBackInATrueTypeFace) {
    auto* writer = NewRich(form);
    writer->Lines()->SetText("Typed in the comment box");
    EXPECT_TRUE(IsTrueType(FaceOfText(writer))) << FaceOfText(writer);
    const std::string saved = writer->StreamOut(true);

    const std::string older = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss MS Sans Serif;}}\\f0\\fs16 Saved before\\par}";
    ASSERT_FALSE(IsTrueType("MS Sans Serif"));
    for (const std::string& bytes : {saved, older, std::string("plain text")}) {
        auto* reader = NewRich(form);
        reader->LoadRtfOrText(bytes);
        const std::string face = FaceOfText(reader);
        EXPECT_FALSE(face.empty()) << bytes;
        EXPECT_TRUE(IsTrueType(face)) << face << " from " << bytes;
    }
    // A face the text chose itself is kept.
    auto* reader = NewRich(form);
    reader->LoadRtfOrText("{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0 code\\par}");
    if (IsTrueType("Courier New")) {
        EXPECT_EQ(FaceOfText(reader), "Courier New");
    }
}

}  // namespace
}  // namespace forms
