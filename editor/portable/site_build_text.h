// Text rules of the site build: keyword filling, escaping of inserted values, links.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace editor {

// Keyword (with its percent signs) -> the text that replaces it.
using KeywordMap = std::map<std::string, std::string, std::less<>>;

enum class KeywordCase { Exact, Ignore };

// Replaces every keyword of map in text in one left-to-right pass: inserted text is never
// searched again, so a value holding "%MODELEMAIL%" stays literal. With Ignore, the map's
// keys are upper case and the text's keywords match in any case.
std::string FillKeywords(std::string_view text, const KeywordMap& map, KeywordCase match = KeywordCase::Exact);

// Every line break (CR LF, CR or LF) made CR LF.
std::string WithCrLf(std::string_view text);

// & < > " as entities.
std::string EscapeHtml(std::string_view text);
// Escaped, each line break written as "<br>" followed by CR LF.
std::string EscapeHtmlLines(std::string_view text);

// A file name for src and href: ANSI (code page 1252) bytes as UTF-8, percent-encoded but
// for letters, digits and "-._~", so "#", "%" and blanks cannot break the link.
std::string EncodeFileName(std::string_view name);

// A web address as a keyword value (%MODELURL%): an http, https or mailto address as typed,
// "http://" put in front of a bare host; "http://" when the field is empty or holds any other
// scheme, which a template's link must never run.
std::string AddressValue(std::string_view address);

// The e-mail and web-site links of the record tables; "Not Available" when empty. Only
// http, https and mailto addresses become links; any other value stands as text.
std::string MailLink(std::string_view email);
std::string WebLink(std::string_view address);

}  // namespace editor
