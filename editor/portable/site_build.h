// The site build: a portfolio turned into a static web site from an HTML template folder.
// Pages are filled from keyword maps, the gallery pictures and the template's other files
// copied beside them; everything goes through PortfolioFiles.
#pragma once

#include "editor/portable/gallery_categories.h"
#include "editor/portable/portfolio_files.h"
#include "editor/portable/site_build_text.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

enum class BiographySource {
    Text,     // the control's text, escaped
    Address,  // a web address: "http://" added when it has no scheme
    YesNo,    // a check box: "Yes" or "No"
};

// The biography's keywords, the control each is taken from (by name), and how.
struct BiographyKeyword {
    std::string_view keyword;
    std::string_view control;
    BiographySource source;
};
std::span<const BiographyKeyword> BiographyKeywords();

// A work-history or photographer record as published (type of work and payment are not).
struct JobRecord {
    std::string name, phone, email, webAddress, where;
    std::string comment;  // plain text
};

struct WebSiteRecord {
    std::string name, url;
    std::string comment;  // plain text
};

struct SiteContent {
    // Keyword -> the raw value as shown on screen: field text, or "Yes"/"No" for check boxes.
    KeywordMap biography;
    std::vector<JobRecord> work, photographers;
    std::vector<WebSiteRecord> websites;
};

// The template's pages, in T (index) or T\files (the others).
struct TemplatePage {
    std::string_view name;
    bool inFiles;
};
std::span<const TemplatePage> TemplatePages();

inline constexpr std::string_view kBuildStartLine = "Building HTML Electronic Portfolio";
inline constexpr std::string_view kBuildDoneLine = "Completed building HTML Electronic Packge";

class SiteBuild {
public:
    // programFolder has its trailing backslash.
    SiteBuild(PortfolioFiles& files, std::string programFolder);

    // Builds "Distributable\<portfolio>\" from "html\<templateName>\". Every template page is
    // read and the output folder made before anything is written. Raises on any failure.
    void Run(const std::string& templateName, const std::string& portfolio, const SiteContent& content);

    // Each log line; each progress position (0..100).
    std::function<void(const std::string&)> OnLog;
    std::function<void(int)> OnProgress;

    // The output folder of the last Run, with its trailing backslash.
    const std::string& OutputFolder() const { return output_; }

private:
    struct Published;

    void Log(const std::string& line);
    void Progress(int position);
    void WritePage(const std::string& name, const std::string& text, const KeywordMap& map);
    std::string GalleryTable(const GalleryCategory& category, const KeywordMap& common, Published& published);
    void CopyOtherFiles(Published& published);
    void RemoveStaleGalleryFiles(const Published& published);

    PortfolioFiles& files_;
    std::string programFolder_, template_, output_;
    std::vector<std::string> pages_;
    int progress_ = 0;
};

}  // namespace editor
