#include "editor/portable/site_build_text.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

TEST(FillKeywords, ReplacesInOnePassAndLeavesUnknownPercentSigns) {
    const KeywordMap map = {{"%NAME%", "Ann %MAIL%"}, {"%MAIL%", "a@b"}, {"%E%", ""}};
    const struct { const char* text; const char* filled; } cases[] = {
        {"%NAME%/%MAIL%", "Ann %MAIL%/a@b"},  // inserted text is not searched again
        {"%NAME%%MAIL%", "Ann %MAIL%a@b"},
        {"width=\"90%\" x %MAIL%", "width=\"90%\" x a@b"},
        {"100%%MAIL%", "100%a@b"},
        {"50% off %E", "50% off %E"},
        {"%name%", "%name%"},  // exact case
        {"%E%%E%|", "|"},
        {"%", "%"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FillKeywords(c.text, map), c.filled) << c.text;
}

TEST(FillKeywords, IgnoringCaseMatchesAnySpelling) {
    const KeywordMap map = {{"%JOBPHONE%", "123"}};
    EXPECT_EQ(FillKeywords("%JobPhone% %jobphone% %JOBPHONE%", map, KeywordCase::Ignore), "123 123 123");
}

TEST(TextRules, LineBreaksAndEscapes) {
    EXPECT_EQ(WithCrLf("a\nb\r\nc\rd\n\n"), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(EscapeHtml("Tom & \"Jerry\" <b>'"), "Tom &amp; &quot;Jerry&quot; &lt;b&gt;'");
    EXPECT_EQ(EscapeHtmlLines("one <1>\r\ntwo\nthree"), "one &lt;1&gt;<br>\r\ntwo<br>\r\nthree");
    EXPECT_EQ(EscapeHtmlLines(""), "");
}

TEST(TextRules, FileNamesArePercentEncodedAsUtf8) {
    const struct { const char* name; const char* encoded; } cases[] = {
        {"prv_beach.jpg", "prv_beach.jpg"},
        {"prv_a b#1%.jpg", "prv_a%20b%231%25.jpg"},
        {"thm_x&y\"z.jpg", "thm_x%26y%22z.jpg"},
        {"thm_caf\xE9.jpg", "thm_caf%C3%A9.jpg"},  // e acute in code page 1252
        {"thm_\x80.jpg", "thm_%E2%82%AC.jpg"},     // the euro sign
        {"a~b-c.jpg.html", "a~b-c.jpg.html"},
    };
    for (const auto& c : cases) EXPECT_EQ(EncodeFileName(c.name), c.encoded) << c.name;
}

TEST(TextRules, AnAddressValueIsAWebOrMailAddressAndNothingElse) {
    const struct { const char* address; const char* url; } cases[] = {
        {"", "http://"},
        {"  ", "http://"},
        {"www.x.com", "http://www.x.com"},
        {" https://x ", "https://x"},
        {"HTTP://x", "HTTP://x"},
        {"Http://x", "Http://x"},
        {"mailto:a@b", "mailto:a@b"},
        {"localhost:8080/a", "http://localhost:8080/a"},
        // Never a link that runs or reads something: these keep the empty field's value.
        {"javascript:alert(1)", "http://"},
        {"JavaScript:alert(1)", "http://"},
        {"data:text/html,<script>x</script>", "http://"},
        {"vbscript:x", "http://"},
        {"file:///C:/x", "http://"},
        {"ftp://x", "http://"},
        {"x.com/http://y", "http://"},
        {"://x", "http://"},
        {"C:\\secret.txt", "http://"},
    };
    for (const auto& c : cases) EXPECT_EQ(AddressValue(c.address), c.url) << c.address;
}

TEST(TextRules, LinksOfTheRecordTables) {
    EXPECT_EQ(MailLink(""), "Not Available");
    EXPECT_EQ(MailLink("a&b@c"), "<a href=\"mailto:a&amp;b@c\">Send E-Mail</a>");
    const struct { const char* address; const char* published; } cases[] = {
        {"", "Not Available"},
        {"http://", "Not Available"},
        {"x.com/?a=1&b=\"2\"", "<a href=\"http://x.com/?a=1&amp;b=&quot;2&quot;\" target=\"_blank\">Visit Web Site</a>"},
        {"https://x", "<a href=\"https://x\" target=\"_blank\">Visit Web Site</a>"},
        {"mailto:a@b", "<a href=\"mailto:a@b\" target=\"_blank\">Visit Web Site</a>"},
        // Any other scheme is published as the text it is, never as a live link.
        {"javascript:alert(\"x\")", "javascript:alert(&quot;x&quot;)"},
        {" data:text/html,<b>x</b> ", "data:text/html,&lt;b&gt;x&lt;/b&gt;"},
        {"file:///C:/x", "file:///C:/x"},
    };
    for (const auto& c : cases) EXPECT_EQ(WebLink(c.address), c.published) << c.address;
}

}  // namespace
}  // namespace editor
