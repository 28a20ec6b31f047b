#include "editor/portable/site_build.h"

#include "editor/portable/site_build_fragments.h"
#include "tests/support/memory_portfolio_files.h"
#include "forms/portable/exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace editor {
namespace {

using testing_files::MemoryPortfolioFiles;
using namespace fragments;

constexpr const char* kRoot = "C:\\V\\";
const std::string kT = std::string(kRoot) + "html\\Plain\\";
const std::string kO = std::string(kRoot) + "Distributable\\Ann\\";
const std::string kGalleries = std::string(kRoot) + "Galleries\\";

std::string L(std::string_view line) { return std::string(line) + "\r\n"; }

// A template whose pages are bare keyword lists, so each test reads what a keyword became.
struct SiteFixture {
    SiteFixture() {
        files_.Put(kT + "index.html", "%MODELNAME%|%MODELEMAIL%|%MODELURL%\n");
        files_.Put(kT + "files\\biography.html", "");
        files_.Put(kT + "files\\galleries.html", "%MODELNAME%\n%GENERAL%%SWIMWEAR%");
        files_.Put(kT + "files\\bigimage.html", "%BIGIMAGE%|%ANCHOR%|%MODELNAME%");
        files_.Put(kT + "files\\work.html", "%WORK%%PHOTOGRAPHERS%");
        files_.Put(kT + "files\\websites.html", "%WEBSITES%");
        files_.Put(kT + "files\\about.html", "%MODELURL%");
        files_.MakeFolders(kRoot + std::string("Distributable\\"));
    }
    void AddPicture(const std::string& folder, const std::string& name) {
        files_.Put(kGalleries + folder + "\\thm_" + name, "thumb of " + folder + " " + name);
        files_.Put(kGalleries + folder + "\\prv_" + name, "preview of " + folder + " " + name);
    }
    void Build() {
        SiteBuild build(files_, kRoot);
        build.OnLog = [this](const std::string& line) { log_.push_back(line); };
        build.OnProgress = [this](int position) { progress_.push_back(position); };
        build.Run("Plain", "Ann", content_);
    }
    std::string Out(const std::string& name) { return files_.ReadFile(kO + name); }
    bool Logged(const std::string& part) const {
        return std::any_of(log_.begin(), log_.end(), [&](const std::string& l) { return l.find(part) != l.npos; });
    }
    std::string GeneralTable() {
        const std::string page = Out("files\\galleries.html");
        return page.substr(page.find("\r\n") + 2, page.find(L(kTableEnd)) + 10 - page.find("\r\n") - 2);
    }

    MemoryPortfolioFiles files_;
    SiteContent content_;
    std::vector<std::string> log_;
    std::vector<int> progress_;
};

class SiteBuildTest : public testing::Test, public SiteFixture {};

std::string Cell(const std::string& name) {
    return L("<td><a href=\"prv_" + name + ".html\"><img src=\"thm_" + name + "\"></a></td>");
}

TEST_F(SiteBuildTest, GalleryTablesCloseRowsOfFour) {
    const struct { int pictures; std::string table; } cases[] = {
        {0, L(kGalleryTableStart) + L(kEmptyGallery) + L(kTableEnd)},
        {4, L(kGalleryTableStart) + L(kGalleryRowStart) + Cell("1.jpg") + Cell("2.jpg") + Cell("3.jpg") +
                Cell("4.jpg") + L(kGalleryRowEnd) + L(kTableEnd)},
        {5, L(kGalleryTableStart) + L(kGalleryRowStart) + Cell("1.jpg") + Cell("2.jpg") + Cell("3.jpg") +
                Cell("4.jpg") + L(kGalleryRowEnd) + L(kGalleryRowStart) + Cell("5.jpg") + L(kTableEnd)},
    };
    for (const auto& c : cases) {
        SiteFixture site;
        for (int i = 1; i <= c.pictures; ++i) site.AddPicture("General", std::to_string(i) + ".jpg");
        site.Build();
        EXPECT_EQ(site.GeneralTable(), c.table) << c.pictures;
        for (int i = 1; i <= c.pictures; ++i) {
            const std::string n = std::to_string(i) + ".jpg";
            EXPECT_EQ(site.Out("files\\thm_" + n), "thumb of General " + n);
            EXPECT_EQ(site.Out("files\\prv_" + n), "preview of General " + n);
            EXPECT_EQ(site.Out("files\\prv_" + n + ".html"), "<img src=\"prv_" + n + "\" alt=\"\">|#general|");
        }
    }
}

// The site publishes what the grid shows: ".jpg" and ".jpeg" pairs alike.
TEST_F(SiteBuildTest, PairsByNameAndSkipsWhatIsNotAPicturePair) {
    AddPicture("General", "b.jpg");
    files_.Put(kGalleries + "General\\thm_a.jpg");       // no preview: skipped
    files_.Put(kGalleries + "General\\prv_c.jpg");       // no thumbnail: not published
    AddPicture("General", "d.jpeg");
    AddPicture("General", "E.JPEG");
    files_.Put(kGalleries + "General\\notes.txt");
    files_.MakeFolders(kGalleries + "General\\thm_sub.jpg\\");
    Build();
    EXPECT_EQ(GeneralTable(), L(kGalleryTableStart) + L(kGalleryRowStart) + Cell("b.jpg") + Cell("d.jpeg") +
                                  Cell("E.JPEG") + L(kTableEnd));
    EXPECT_TRUE(Logged("thm_a.jpg")) << "a thumbnail without its preview is logged";
    for (const char* absent : {"thm_a.jpg", "prv_c.jpg", "notes.txt", "prv_a.jpg.html"})
        EXPECT_FALSE(files_.FileExists(kO + "files\\" + absent)) << absent;
    for (const char* present : {"thm_d.jpeg", "prv_d.jpeg", "prv_d.jpeg.html", "thm_E.JPEG", "prv_E.JPEG.html"})
        EXPECT_TRUE(files_.FileExists(kO + "files\\" + present)) << present;
    EXPECT_EQ(Out("files\\prv_d.jpeg.html"), "<img src=\"prv_d.jpeg\" alt=\"\">|#general|");
}

TEST_F(SiteBuildTest, AwkwardNamesAreEncodedInLinksAndStoredAsTheyAre) {
    AddPicture("Swimwear", "a b#1%.jpg");
    Build();
    const std::string page = Out("files\\galleries.html");
    EXPECT_NE(page.find("<td><a href=\"prv_a%20b%231%25.jpg.html\"><img src=\"thm_a%20b%231%25.jpg\"></a></td>"),
              std::string::npos);
    EXPECT_EQ(Out("files\\prv_a b#1%.jpg.html"), "<img src=\"prv_a%20b%231%25.jpg\" alt=\"\">|#swimwear|");
}

TEST_F(SiteBuildTest, TheLaterCategoryWinsASharedNameWithAWarning) {
    AddPicture("General", "same.jpg");
    AddPicture("Swimwear", "same.jpg");
    Build();
    EXPECT_EQ(Out("files\\thm_same.jpg"), "thumb of Swimwear same.jpg");
    EXPECT_EQ(Out("files\\prv_same.jpg.html"), "<img src=\"prv_same.jpg\" alt=\"\">|#swimwear|");
    EXPECT_TRUE(Logged("thm_same.jpg of Swimwear replaces the one of General"));
}

TEST_F(SiteBuildTest, ARebuildDropsGalleryFilesOfDeletedPicturesOnly) {
    AddPicture("General", "keep.jpg");
    AddPicture("General", "gone.jpg");
    Build();
    files_.Remove(kGalleries + "General\\thm_gone.jpg");
    files_.Remove(kGalleries + "General\\prv_gone.jpg");
    files_.Put(kO + "files\\mine.txt");
    files_.Put(kO + "notes.txt");
    files_.Put(kT + "files\\prv_frame.png");  // a template file of that name is the template's
    Build();
    for (const char* gone : {"thm_gone.jpg", "prv_gone.jpg", "prv_gone.jpg.html"})
        EXPECT_FALSE(files_.FileExists(kO + "files\\" + gone)) << gone;
    for (const char* kept : {"files\\thm_keep.jpg", "files\\prv_keep.jpg.html", "files\\mine.txt", "notes.txt",
                             "files\\prv_frame.png"})
        EXPECT_TRUE(files_.FileExists(kO + kept)) << kept;
}

TEST_F(SiteBuildTest, AMissingPageStopsTheBuildBeforeAnythingIsWritten) {
    for (const auto& page : TemplatePages()) {
        SiteFixture fresh;
        fresh.AddPicture("General", "a.jpg");
        const std::string path = kT + (page.inFiles ? "files\\" : "") + std::string(page.name);
        fresh.files_.Remove(path);
        try {
            fresh.Build();
            ADD_FAILURE() << page.name << " missing, the build went on";
        } catch (const forms::EFOpenError& e) {
            EXPECT_EQ(e.Message, "Cannot open file " + path);
        }
        EXPECT_EQ(fresh.files_.writes, 0) << page.name;
        EXPECT_FALSE(fresh.files_.FileExists(kO + "index.html"));
    }
}

TEST_F(SiteBuildTest, LogsAndProgressInTheirOrder) {
    Build();
    const std::vector<int> progress = {0, 2, 6, 14, 24, 34, 44, 54, 64, 74, 84, 94, 100};
    EXPECT_EQ(progress_, progress);
    std::vector<std::string> expected = {"Building HTML Electronic Portfolio", "   - Creating outputfolder Folders",
                                         "   - Writing index.html", "   - Writing biography.html",
                                         "   - Writing galleries.html"};
    for (const auto& c : GalleryCategories()) expected.push_back("       Currently Writing Gallery - " + std::string(c.key));
    for (const char* line : {"   - Writing work.html", "   - Writing websites.html",
                             "   - Copying other files associated with HTML Template",
                             "Completed building HTML Electronic Packge"})
        expected.push_back(line);
    EXPECT_EQ(log_, expected);
}

TEST_F(SiteBuildTest, BiographyValuesAreEscapedOnceAndAddressesGetAScheme) {
    files_.Put(kT + "files\\biography.html", "%MODELNAME%|%MODELWEBSITE%|%MODELAGE%|%SWIMWEAR%|%ARTNUDE%|%GENERAL%");
    content_.biography = {{"%MODELNAME%", "Ann <B> & %MODELEMAIL%"}, {"%MODELEMAIL%", "a@b"},
                          {"%MODELURL%", "ann.example"}, {"%MODELWEBSITE%", "ann.example"},
                          {"%MODELAGE%", "25 Years Of age."}, {"%SWIMWEAR%", "Yes"}, {"%ARTNUDE%", "No"}};
    AddPicture("Swimwear", "s.jpg");
    Build();
    EXPECT_EQ(Out("index.html"), "Ann &lt;B&gt; &amp; %MODELEMAIL%|a@b|http://ann.example\r\n");
    EXPECT_EQ(Out("files\\biography.html"),
              "Ann &lt;B&gt; &amp; %MODELEMAIL%|http://ann.example|25 Years Of age.|Yes|No|%GENERAL%");
    // On the galleries page the same keyword is a gallery table.
    EXPECT_NE(Out("files\\galleries.html").find(Cell("s.jpg")), std::string::npos);
    EXPECT_EQ(Out("files\\about.html"), "http://ann.example");
}

TEST_F(SiteBuildTest, AnEmptyWebSiteFieldStillGivesHttp) {
    Build();
    EXPECT_EQ(Out("index.html"), "||http://\r\n");
}

TEST_F(SiteBuildTest, RecordTablesInListOrder) {
    content_.work = {{"Studio <1>", "0123", "", "https://studio.example", "Studio", "Line one\r\nLine & two"},
                     {"B", "", "b@x", "", "On Location", ""}};
    content_.photographers = {{"Pat", "9", "p@x", "pat.example", "Location and Studio", "ok"}};
    content_.websites = {{"Site & Co", "HTTP://SITE", "first\rsecond"}};
    Build();
    const std::string work1 =
        "  <tr align=\"left\" valign=\"middle\">    <td >Studio &lt;1&gt;</td>    <td  >0123</td>    "
        "<td > Not Available</a></td>    <td  ><a href=\"https://studio.example\" target=\"_blank\">Visit Web Site</a>"
        "</td>    <td >Studio</td>  </tr></table><table width=\"90%\" border=\"0\" cellspacing=\"10\" cellpadding=\"0\">"
        "  <tr>    <th align=\"left\" valign=\"middle\" nowrap=\"nowrap\">Comments:</th>  </tr>  <tr>    "
        "<td align=\"left\" valign=\"middle\"><p>Line one<br>\r\nLine &amp; two<p></td>  </tr>";
    const std::string work2 =
        "  <tr align=\"left\" valign=\"middle\">    <td >B</td>    <td  ></td>    "
        "<td > <a href=\"mailto:b@x\">Send E-Mail</a></a></td>    <td  >Not Available</td>    <td >On Location</td>"
        "  </tr></table><table width=\"90%\" border=\"0\" cellspacing=\"10\" cellpadding=\"0\">  <tr>    "
        "<th align=\"left\" valign=\"middle\" nowrap=\"nowrap\">Comments:</th>  </tr>  <tr>    "
        "<td align=\"left\" valign=\"middle\"><p><p></td>  </tr>";
    const std::string pat =
        "  <tr align=\"left\" valign=\"middle\">    <td >Pat</td>    <td  >9</td>    "
        "<td > <a href=\"mailto:p@x\">Send E-Mail</a></a></td>    <td  ><a href=\"http://pat.example\" "
        "target=\"_blank\">Visit Web Site</a></td>    <td >Location and Studio</td>  </tr></table>"
        "<table width=\"90%\" border=\"0\" cellspacing=\"10\" cellpadding=\"0\">  <tr>    "
        "<th align=\"left\" valign=\"middle\" nowrap=\"nowrap\">Comments:</th>  </tr>  <tr>    "
        "<td align=\"left\" valign=\"middle\"><p>ok<p></td>  </tr>";
    EXPECT_EQ(Out("files\\work.html"), L(kWorkHeader) + L(work1) + L(work2) + L(kTableEnd) + L(kPhotographerHeader) +
                                           L(pat) + L(kTableEnd));
    const std::string site =
        "<tr align=\"center\" valign=\"middle\">               <td align=\"left\" nowrap>Site &amp; Co</td>"
        "               <td align=\"right\"><a href=\"HTTP://SITE\" target=\"_blank\">Visit Web Site</a></tr></table>"
        "<table width=\"80%\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"10\">  <tr>    "
        "<th align=\"left\" valign=\"top\" nowrap=\"nowrap\">    Comments:    </th>  </tr>  <tr>    "
        "<td align=\"left\" valign=\"middle\">      first<br>\r\nsecond    </td>  </tr>";
    EXPECT_EQ(Out("files\\websites.html"), L(kWebSiteHeader) + L(site) + L(kTableEnd));
}

TEST_F(SiteBuildTest, CopiesTheTemplatesOtherFilesFlat) {
    files_.Put(kT + "files\\style.css", "css");
    files_.Put(kT + "files\\old.htm");
    files_.Put(kT + "files\\extra.html");
    files_.Put(kT + "files\\UPPER.HTM", "kept");  // the extension test is exact
    files_.Put(kT + "files\\deep\\x.png");
    files_.Put(kT + "logo.png", "png");
    files_.Put(kT + "other\\y.png");
    Build();
    EXPECT_EQ(Out("files\\style.css"), "css");
    EXPECT_EQ(Out("files\\UPPER.HTM"), "kept");
    EXPECT_EQ(Out("logo.png"), "png");
    for (const char* absent : {"files\\old.htm", "files\\extra.html", "files\\deep\\x.png", "files\\x.png",
                               "other\\y.png", "y.png", "files\\bigimage.html"})
        EXPECT_FALSE(files_.FileExists(kO + absent)) << absent;
}

}  // namespace
}  // namespace editor
