#include "editor/portable/site_build_text.h"

#include "editor/portable/record_model.h"
#include "forms/portable/text_case.h"

#include <cctype>
#include <cstdint>

namespace editor {
namespace {

// Code page 1252 at 0x80..0x9F; the five unassigned bytes map to the C1 controls, as the
// platform's own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string FillKeywords(std::string_view text, const KeywordMap& map, KeywordCase match) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find('%', i);
        if (open == std::string_view::npos) break;
        out.append(text.substr(i, open - i));
        const size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            i = open;
            break;
        }
        const std::string_view candidate = text.substr(open, close - open + 1);
        const auto found = match == KeywordCase::Exact ? map.find(candidate) : map.find(forms::UpperAscii(candidate));
        if (found != map.end()) {
            out += found->second;
            i = close + 1;
        } else {
            // The closing sign may open the next keyword ("100%%MODELNAME%").
            out += '%';
            i = open + 1;
        }
    }
    out.append(text.substr(i));
    return out;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string EscapeHtmlLines(std::string_view text) {
    const std::string escaped = EscapeHtml(WithCrLf(text));
    std::string out;
    size_t start = 0;
    for (size_t br; (br = escaped.find("\r\n", start)) != std::string::npos; start = br + 2)
        out += escaped.substr(start, br - start) + "<br>\r\n";
    return out + escaped.substr(start);
}

std::string EncodeFileName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string utf8;
    for (unsigned char c : name) {
        if (c >= 0x80 && c < 0xA0) AppendUtf8(utf8, kCp1252High[c - 0x80]);
        else AppendUtf8(utf8, c);
    }
    std::string out;
    for (unsigned char c : utf8) {
        if (std::isalnum(c) && c < 0x80) {
            out += static_cast<char>(c);
        } else if (c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

std::string AddressValue(std::string_view address) {
    const AddressKind kind = ClassifyAddress(address);
    return kind.kind == AddressKind::Web || kind.kind == AddressKind::Mail ? kind.address : "http://";
}

std::string MailLink(std::string_view email) {
    if (email.empty()) return "Not Available";
    return "<a href=\"mailto:" + EscapeHtml(email) + "\">Send E-Mail</a>";
}

std::string WebLink(std::string_view address) {
    const AddressKind kind = ClassifyAddress(address);
    switch (kind.kind) {
    case AddressKind::None: return "Not Available";
    case AddressKind::Web:
    case AddressKind::Mail:
        return "<a href=\"" + EscapeHtml(kind.address) + "\" target=\"_blank\">Visit Web Site</a>";
    case AddressKind::Other: break;
    }
    return EscapeHtml(TrimBlanks(address));
}

}  // namespace editor
