#include "forms/rich_edit.h"

#include <richedit.h>

#include <algorithm>

#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"
#include "forms/portable/streams.h"

namespace forms {

namespace {

// The library stays loaded for the life of the process: windows of its class may exist
// until the very end.
struct RichEditLibrary {
    HMODULE module = LoadLibraryA("RICHED32.DLL");
    const char* className = nullptr;
    RichEditLibrary() {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        for (const char* name : {"RICHEDIT", "RichEdit20A"}) {
            if (GetClassInfoExA(nullptr, name, &wc)) {
                className = name;
                break;
            }
        }
    }
};

const RichEditLibrary& Library() {
    static const RichEditLibrary library;
    return library;
}

struct StreamCursor {
    std::string* data;
    size_t position;
};

DWORD CALLBACK ReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
    size_t n = std::min(static_cast<size_t>(count), cursor->data->size() - cursor->position);
    std::copy_n(cursor->data->data() + cursor->position, n, buffer);
    cursor->position += n;
    *done = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK WriteCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
    cursor->data->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(count));
    *done = count;
    return 0;
}

int CALLBACK NoteTrueType(const LOGFONTA*, const TEXTMETRICA*, DWORD type, LPARAM found) {
    if (type & TRUETYPE_FONTTYPE) *reinterpret_cast<bool*>(found) = true;
    return 1;
}

bool IsTrueTypeFace(const char* face) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &wanted, &NoteTrueType, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

int CALLBACK NoteSansFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD type, LPARAM face) {
    if (!(type & TRUETYPE_FONTTYPE) || (font->lfPitchAndFamily & 0xF0) != FF_SWISS || font->lfFaceName[0] == '@')
        return 1;
    lstrcpynA(reinterpret_cast<char*>(face), font->lfFaceName, LF_FACESIZE);
    return 0;
}

// A TrueType face the platform has: the usual sans faces in order, else any sans one.
const char* SharedTrueTypeFace() {
    static const std::string face = [] {
        for (const char* candidate : {"Tahoma", "Arial", "Segoe UI", "Liberation Sans", "DejaVu Sans"})
            if (IsTrueTypeFace(candidate)) return std::string(candidate);
        char found[LF_FACESIZE] = {};
        LOGFONTA all{};
        all.lfCharSet = DEFAULT_CHARSET;
        HDC dc = GetDC(nullptr);
        EnumFontFamiliesExA(dc, &all, &NoteSansFace, reinterpret_cast<LPARAM>(found), 0);
        ReleaseDC(nullptr, dc);
        return std::string(found);
    }();
    return face.c_str();
}

// Groups opened and not closed, escaped braces left out.
size_t OpenGroups(const std::string& rtf) {
    size_t depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') ++i;
        else if (rtf[i] == '{') ++depth;
        else if (rtf[i] == '}' && depth > 0) --depth;
    }
    return depth;
}

bool LooksLikeRtf(const std::string& data) { return data.rfind("{\\rtf", 0) == 0; }

}  // namespace

const char* RichEditClassName() {
    const char* name = Library().className;
    if (name == nullptr) throw EOutOfResources("The rich-edit control (RICHED32.DLL) is not available");
    return name;
}

const TClassInfo& TCustomRichEdit::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomRichEdit>("TCustomRichEdit", &TCustomMemo::StaticClass())
            .Bool("PlainText", &TCustomRichEdit::PlainText, &TCustomRichEdit::SetPlainText)
            .Done();
    return info;
}

const TClassInfo& TRichEdit::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TRichEdit>("TRichEdit", &TCustomRichEdit::StaticClass()).Done();
    return info;
}

TRichEditStrings::TRichEditStrings(TCustomRichEdit* edit) : TMemoStrings(edit), edit_(edit) {}

void TRichEditStrings::LoadFromStream(TStream& stream) {
    std::string data(static_cast<size_t>(stream.Size() - stream.Position()), '\0');
    if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
    edit_->StreamIn(data, !edit_->PlainText());
}

void TRichEditStrings::SaveToStream(TStream& stream) const {
    std::string data = edit_->StreamOut(!edit_->PlainText());
    if (!data.empty()) stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
}

void TRichEditStrings::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TRichEditStrings::SaveToFile(const std::string& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

TCustomRichEdit::TCustomRichEdit(TComponent* owner)
    : TCustomMemo(owner, std::make_unique<TRichEditStrings>(this)),
      richLines_(static_cast<TRichEditStrings*>(TCustomMemo::Lines())) {}

void TCustomRichEdit::CreateParams(TCreateParams& params) {
    TCustomMemo::CreateParams(params);
    params.SystemClassName = RichEditClassName();
    // The rich edit keeps its selection visible only when asked.
    params.Style |= ES_NOHIDESEL;
}

void TCustomRichEdit::HandleCreated() {
    TCustomMemo::HandleCreated();
    HWND wnd = WindowHandle();
    SendMessageA(wnd, EM_SETEVENTMASK, 0, ENM_CHANGE);
    // The class default limit (32 K) is too small for comment files.
    SendMessageA(wnd, EM_EXLIMITTEXT, 0, MaxLength() > 0 ? MaxLength() : 0x7FFFFFF0);
    TColor color = Color();
    SendMessageA(wnd, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color)));
    UseTrueTypeFace();
    if (!savedRtf_.empty()) {
        StreamIn(savedRtf_, true);
        savedRtf_.clear();
    }
}

void TCustomRichEdit::UseTrueTypeFace() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr || !*SharedTrueTypeFace()) return;
    // What a saved file cannot give back is changed before she types: a bitmap face (mixed
    // faces came from the text itself, only one is ours to replace), and a size between two
    // half points, which the file's \fs rounds (8.25 pt text reloads at 8 pt, spaced apart).
    const auto reloadable = [wnd](WPARAM scope) {
        CHARFORMATA format{};
        format.cbSize = sizeof format;
        SendMessageA(wnd, EM_GETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&format));
        CHARFORMATA wanted{};
        wanted.cbSize = sizeof wanted;
        if ((format.dwMask & CFM_FACE) && !IsTrueTypeFace(format.szFaceName)) {
            wanted.dwMask |= CFM_FACE | CFM_CHARSET;
            // A face read back without a charset is made in ANSI; comments are ANSI text.
            wanted.bCharSet = ANSI_CHARSET;
            lstrcpynA(wanted.szFaceName, SharedTrueTypeFace(), LF_FACESIZE);
        }
        constexpr LONG kTwipsPerHalfPoint = 10;
        if ((format.dwMask & CFM_SIZE) && format.yHeight % kTwipsPerHalfPoint != 0) {
            wanted.dwMask |= CFM_SIZE;
            wanted.yHeight = (format.yHeight + kTwipsPerHalfPoint / 2 - 1) / kTwipsPerHalfPoint * kTwipsPerHalfPoint;
        }
        if (wanted.dwMask != 0) SendMessageA(wnd, EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&wanted));
    };
    reloadable(SCF_DEFAULT);
    CHARRANGE kept{};
    SendMessageA(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    SendMessageA(wnd, EM_SETSEL, 0, -1);
    reloadable(SCF_SELECTION);
    SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
}

void TCustomRichEdit::LoadRtfOrText(const std::string& data) {
    if (LooksLikeRtf(data)) {
        // A file cut short is read up to where it ends, its open groups closed.
        for (const std::string& rtf : {data, data + std::string(OpenGroups(data), '}')}) {
            try {
                StreamIn(rtf, true);
                return;
            } catch (const EReadError&) {
            }
        }
    }
    // Not RTF after all: its text is still the user's.
    StreamIn(data, false);
}

void TCustomRichEdit::HandleDestroying() {
    savedRtf_ = StreamOut(true);
    TCustomMemo::HandleDestroying();
}

std::string TCustomRichEdit::StreamOut(bool asRtf) {
    std::string data;
    StreamCursor cursor{&data, 0};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    es.pfnCallback = &WriteCallback;
    SendMessageA(Handle(), EM_STREAMOUT, asRtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    if (es.dwError != 0) throw EWriteError("Error writing the rich text");
    return data;
}

void TCustomRichEdit::StreamIn(const std::string& data, bool asRtf) {
    std::string copy = data;
    StreamCursor cursor{&copy, 0};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    es.pfnCallback = &ReadCallback;
    SendMessageA(Handle(), EM_STREAMIN, asRtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    if (es.dwError != 0) throw EReadError("Error reading the rich text");
    UseTrueTypeFace();
}

void TCustomRichEdit::WndProc(TMessage& message) {
    if (message.Msg == CM_COLORCHANGED) {
        if (HWND wnd = WindowHandle()) SendMessageA(wnd, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    }
    TCustomMemo::WndProc(message);
    // The form's font arrives after the window is made, and again when it changes.
    if (message.Msg == WM_SETFONT) UseTrueTypeFace();
}

}  // namespace forms
