#include "editor/portable/site_build.h"

#include "editor/portable/gallery_categories.h"
#include "editor/portable/gallery_store.h"
#include "editor/portable/picture_names.h"
#include "editor/portable/site_build_fragments.h"
#include "forms/portable/text_case.h"

#include <algorithm>
#include <map>
#include <set>

namespace editor {
namespace {

using namespace fragments;

constexpr BiographyKeyword kBiography[] = {
    {"%MODELNAME%", "Edit1", BiographySource::Text},
    {"%MODELEMAIL%", "Edit5", BiographySource::Text},
    {"%MODELURL%", "Edit6", BiographySource::Address},
    {"%MODELWEBSITE%", "Edit6", BiographySource::Address},
    {"%MODELTOWN%", "Edit3", BiographySource::Text},
    {"%MODELSTATE%", "Edit4", BiographySource::Text},
    {"%MODELAGE%", "Label61", BiographySource::Text},
    {"%MODELBODYTYPE%", "ComboBox1", BiographySource::Text},
    {"%MODELCOMPLEXTION%", "Edit2", BiographySource::Text},
    {"%MODELHEIGHT%", "Edit7", BiographySource::Text},
    {"%MODELHAIRCOLOR%", "Edit8", BiographySource::Text},
    {"%MODELHAIRLENGTH%", "ComboBox2", BiographySource::Text},
    {"%MODELEYECOLOR%", "Edit9", BiographySource::Text},
    {"%MODELCHEST%", "Edit10", BiographySource::Text},
    {"%MODELHIPS%", "Edit11", BiographySource::Text},
    {"%MODELWAIST%", "Edit12", BiographySource::Text},
    {"%MODELBRASIZE%", "Edit13", BiographySource::Text},
    {"%MODELSHOESIZE%", "Edit14", BiographySource::Text},
    {"%MODELPIERCINGS%", "Edit15", BiographySource::Text},
    {"%MODELTATTOOS%", "Edit16", BiographySource::Text},
    {"%CATWALK%", "CheckBox1", BiographySource::YesNo},
    {"%PHOTOGRAPHIC%", "CheckBox2", BiographySource::YesNo},
    {"%FILMVIDEO%", "CheckBox3", BiographySource::YesNo},
    {"%TELEVISION%", "CheckBox4", BiographySource::YesNo},
    {"%PROMOTIONS%", "CheckBox5", BiographySource::YesNo},
    {"%GLAMOUR%", "CheckBox18", BiographySource::YesNo},
    {"%FASHION%", "CheckBox19", BiographySource::YesNo},
    {"%SWIMWEAR%", "CheckBox20", BiographySource::YesNo},
    {"%UNDERWEAR%", "CheckBox21", BiographySource::YesNo},
    {"%LINGERIE%", "CheckBox22", BiographySource::YesNo},
    {"%SHEER%", "CheckBox23", BiographySource::YesNo},
    {"%IMPLIED%", "CheckBox24", BiographySource::YesNo},
    {"%ARTNUDE%", "CheckBox25", BiographySource::YesNo},
    {"%TOPLESS%", "CheckBox26", BiographySource::YesNo},
    {"%PLUSMODEL%", "CheckBox27", BiographySource::YesNo},
    {"%OTHER%", "CheckBox28", BiographySource::YesNo},
};

constexpr TemplatePage kPages[] = {
    {"index.html", false},   {"biography.html", true}, {"galleries.html", true}, {"bigimage.html", true},
    {"work.html", true},     {"websites.html", true},  {"about.html", true},
};
enum PageIndex { kIndex, kBiographyPage, kGalleries, kBigImage, kWork, kWebSites, kAbout };

constexpr int kGalleryColumns = 4;
constexpr std::string_view kCrLf = "\r\n";

std::string_view Extension(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

// The template's own pages are filled, not copied; the test of the extension is exact.
bool IsPageName(std::string_view name) { return Extension(name) == ".html" || Extension(name) == ".htm"; }

// Files of a folder in name order, as the platform's listing gives them.
std::vector<std::string> FileNames(PortfolioFiles& files, const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : files.List(folder))
        if (!entry.folder) names.push_back(entry.name);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string ua = forms::UpperAscii(a), ub = forms::UpperAscii(b);
        return ua != ub ? ua < ub : a < b;
    });
    return names;
}

std::string JobRow(std::string_view literal, const JobRecord& r, std::string_view prefix, std::string_view nameKey) {
    const std::string p(prefix);
    const KeywordMap map = {
        {std::string(nameKey), EscapeHtml(r.name)},
        {"%" + p + "PHONE%", EscapeHtml(r.phone)},
        {"%MAILCODE%", MailLink(r.email)},
        {"%WEBLINK%", WebLink(r.webAddress)},
        {"%" + p + "WHERE%", EscapeHtml(r.where)},
        {"%" + p + "COMMENT%", EscapeHtmlLines(r.comment)},
    };
    return FillKeywords(literal, map, KeywordCase::Ignore);
}

std::string JobTable(std::string_view header, std::string_view row, const std::vector<JobRecord>& records,
                     std::string_view prefix, std::string_view nameKey) {
    std::string table = std::string(header) + std::string(kCrLf);
    for (const auto& r : records) table += JobRow(row, r, prefix, nameKey) + std::string(kCrLf);
    return table + std::string(kTableEnd) + std::string(kCrLf);
}

std::string WebSiteTable(const std::vector<WebSiteRecord>& records) {
    std::string table = std::string(kWebSiteHeader) + std::string(kCrLf);
    for (const auto& r : records) {
        const KeywordMap map = {
            {"%WEBSITENAME%", EscapeHtml(r.name)},
            {"%WEBCODE%", WebLink(r.url)},
            {"%WEBSITECOMMENT%", EscapeHtmlLines(r.comment)},
        };
        table += FillKeywords(kWebSiteRow, map, KeywordCase::Ignore) + std::string(kCrLf);
    }
    return table + std::string(kTableEnd) + std::string(kCrLf);
}

std::string Line(std::string_view text) { return std::string(text) + std::string(kCrLf); }

}  // namespace

std::span<const BiographyKeyword> BiographyKeywords() { return kBiography; }
std::span<const TemplatePage> TemplatePages() { return kPages; }

// Names written into O\files by this build (upper case), and which category each gallery
// file came from.
struct SiteBuild::Published {
    std::set<std::string> names;
    std::map<std::string, std::string_view> owner;
};

SiteBuild::SiteBuild(PortfolioFiles& files, std::string programFolder)
    : files_(files), programFolder_(std::move(programFolder)) {}

void SiteBuild::Log(const std::string& line) {
    if (OnLog) OnLog(line);
}

void SiteBuild::Progress(int position) {
    progress_ = position;
    if (OnProgress) OnProgress(position);
}

void SiteBuild::WritePage(const std::string& name, const std::string& text, const KeywordMap& map) {
    files_.WriteFile(output_ + name, FillKeywords(text, map));
}

void SiteBuild::Run(const std::string& templateName, const std::string& portfolio, const SiteContent& content) {
    Progress(0);
    Progress(progress_ + 2);
    Log(std::string(kBuildStartLine));
    template_ = programFolder_ + "html\\" + templateName + "\\";
    output_ = programFolder_ + "Distributable\\" + portfolio + "\\";

    // All pages first: a missing one must leave no half-built site behind.
    pages_.clear();
    for (const auto& page : kPages)
        pages_.push_back(WithCrLf(files_.ReadFile(template_ + (page.inFiles ? "files\\" : "") + std::string(page.name))));
    Log("   - Creating outputfolder Folders");
    files_.MakeFolders(output_ + "files\\");

    KeywordMap biography;
    for (const auto& k : kBiography) {
        const auto found = content.biography.find(k.keyword);
        const std::string raw = found == content.biography.end() ? std::string() : found->second;
        biography[std::string(k.keyword)] =
            EscapeHtml(k.source == BiographySource::Address ? AddressValue(raw) : raw);
    }
    KeywordMap common;
    for (const char* keyword : {"%MODELNAME%", "%MODELEMAIL%", "%MODELURL%"}) common[keyword] = biography[keyword];

    Progress(progress_ + 4);
    Log("   - Writing index.html");
    WritePage("index.html", pages_[kIndex], common);
    Log("   - Writing biography.html");
    WritePage("files\\biography.html", pages_[kBiographyPage], biography);

    Progress(progress_ + 8);
    Log("   - Writing galleries.html");
    KeywordMap galleries = common;
    Published published;
    for (const auto& category : GalleryCategories()) {
        Progress(progress_ + 10);
        Log("       Currently Writing Gallery - " + std::string(category.key));
        galleries[std::string(category.keyword)] = GalleryTable(category, common, published);
    }
    WritePage("files\\galleries.html", pages_[kGalleries], galleries);

    Log("   - Writing work.html");
    KeywordMap work = common;
    work["%WORK%"] = JobTable(kWorkHeader, kWorkRow, content.work, "JOB", "%JOBORGANISATION%");
    work["%PHOTOGRAPHERS%"] =
        JobTable(kPhotographerHeader, kPhotographerRow, content.photographers, "PHOTOGRAPHER", "%PHOTOGRAPHER%");
    WritePage("files\\work.html", pages_[kWork], work);

    Log("   - Writing websites.html");
    KeywordMap websites = common;
    websites["%WEBSITES%"] = WebSiteTable(content.websites);
    WritePage("files\\websites.html", pages_[kWebSites], websites);
    WritePage("files\\about.html", pages_[kAbout], common);

    Log("   - Copying other files associated with HTML Template");
    CopyOtherFiles(published);
    RemoveStaleGalleryFiles(published);
    Progress(100);
    Log(std::string(kBuildDoneLine));
}

std::string SiteBuild::GalleryTable(const GalleryCategory& category, const KeywordMap& common, Published& published) {
    GalleryStore galleries(files_, programFolder_);
    const std::string folder = galleries.Folder(category.folder);

    std::string text = Line(kGalleryTableStart);
    int cells = 0, pictures = 0;
    for (const auto& [thumbnail, preview] : galleries.Pictures(folder)) {
        // A thumbnail shows only with its own preview.
        if (preview.empty()) {
            Log("       Skipped " + thumbnail + ": its preview is missing");
            continue;
        }
        const std::string page = preview + ".html";
        const auto [owner, fresh] = published.owner.emplace(forms::UpperAscii(thumbnail), category.caption);
        if (!fresh && owner->second != category.caption) {
            Log("       Warning: " + thumbnail + " of " + std::string(category.caption) + " replaces the one of " +
                std::string(owner->second));
            owner->second = category.caption;
        }
        for (const auto& name : {thumbnail, preview}) {
            files_.Copy(folder + name, output_ + "files\\" + name);
            published.names.insert(forms::UpperAscii(name));
        }
        published.names.insert(forms::UpperAscii(page));
        ++pictures;

        if (++cells == 1) text += Line(kGalleryRowStart);
        text += Line(FillKeywords(kGalleryCell, {{"%THUMB1%", EncodeFileName(thumbnail)}, {"%BIG1%", EncodeFileName(page)}}));
        if (cells == kGalleryColumns) {
            text += Line(kGalleryRowEnd);
            cells = 0;
        }
        KeywordMap big = common;
        big["%BIGIMAGE%"] = "<img src=\"" + EncodeFileName(preview) + "\" alt=\"\">";
        big["%ANCHOR%"] = "#" + std::string(category.key);
        WritePage("files\\" + page, pages_[kBigImage], big);
    }
    if (pictures == 0) text += Line(kEmptyGallery);
    return text + Line(kTableEnd);
}

void SiteBuild::CopyOtherFiles(Published& published) {
    for (const auto& name : FileNames(files_, template_ + "files\\")) {
        if (IsPageName(name)) continue;
        files_.Copy(template_ + "files\\" + name, output_ + "files\\" + name);
        published.names.insert(forms::UpperAscii(name));
    }
    for (const auto& name : FileNames(files_, template_)) {
        if (forms::UpperAscii(name) == "INDEX.HTML" || IsPageName(name)) continue;
        files_.Copy(template_ + name, output_ + name);
    }
}

void SiteBuild::RemoveStaleGalleryFiles(const Published& published) {
    // A picture deleted from a gallery must not stay in the site (and be burnt to disc).
    for (const auto& name : FileNames(files_, output_ + "files\\")) {
        if (!IsGalleryFileName(name)) continue;
        if (published.names.count(forms::UpperAscii(name))) continue;
        Log("       Removing " + name + " (no longer in the galleries)");
        files_.Remove(output_ + "files\\" + name);
    }
}

}  // namespace editor
