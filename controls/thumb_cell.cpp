#include "controls/thumb_cell.h"

#include "controls/thumb_view.h"
#include "forms/gdi_handle.h"
#include "forms/portable/properties.h"

namespace controls {

using forms::TClassInfo;

namespace {

std::string FormatFileTime(const FILETIME& time) {
    std::uint32_t packed = 0;
    SYSTEMTIME st{};
    FILETIME local{};
    if (!PackedLocalDateTime(time, packed) ||
        !DosDateTimeToFileTime(static_cast<WORD>(packed >> 16), static_cast<WORD>(packed & 0xFFFF), &local) ||
        !FileTimeToSystemTime(&local, &st))
        return "Unknown";
    char date[128] = {}, clock[128] = {};
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date) == 0 ||
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, clock, sizeof clock) == 0)
        return "Unknown";
    return std::string(date) + " " + clock;
}

}  // namespace

void TFileTimeText::Set(const FILETIME& time) {
    time_ = time;
    known_ = true;
    text_.reset();
}

const std::string& TFileTimeText::Text() const {
    static const std::string none;
    if (!known_) return none;
    if (!text_) text_ = FormatFileTime(time_);
    return *text_;
}

std::string FileNamePart(const std::string& path) {
    const std::size_t sep = path.find_last_of("\\/:");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

TThumbnail::TThumbnail(forms::TComponent* owner)
    : TBaseThumbnail(owner), titleFont_(std::make_unique<forms::TFont>()), fileName_(std::make_unique<TFileName>()) {
    SetBevelOuter(forms::bvRaised);
    SetAlign(forms::alNone);
    const auto* view = dynamic_cast<TThumbView*>(owner);
    SetBounds(10, 10, view != nullptr ? view->MaxWidth() : 120, view != nullptr ? view->MaxHeight() : 120);

    shadow_ = new forms::TShape(this);
    shadow_->SetVisible(false);
    shadow_->Brush()->SetColor(shadowColor_);
    shadow_->Pen()->SetStyle(forms::psClear);
    shadow_->SetParent(this);

    image_ = new TThumbImage(this);
    image_->SetAutoSize(false);
    image_->SetAlign(forms::alNone);
    image_->SetStretch(true);
    image_->SetParent(this);

    strip_ = new TThumbTitle(this);
    strip_->SetAlign(forms::alTop);
    strip_->SetHeight(kTitleStripHeight);
    strip_->SetAlignment(forms::taCenter);
    strip_->SetBevelOuter(forms::bvLowered);
    strip_->SetParentColor(true);
    strip_->SetParent(this);
    strip_->Font()->Assign(*titleFont_);
    titleFont_->OnChange = [this](forms::TObject*) {
        if (strip_ != nullptr) strip_->Font()->Assign(*titleFont_);
    };
    PlaceImage();
}

TThumbnail::~TThumbnail() {
    destroying_ = true;
    titleFont_->OnChange = nullptr;
}

const TClassInfo& TThumbnail::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TThumbnail>("TThumbnail", &TBaseThumbnail::StaticClass())
            .Str("FileName", [](const TThumbnail& c) { return c.FileName(); }, &TThumbnail::SetFileName)
            .Str("Title", [](const TThumbnail& c) { return c.Title(); }, &TThumbnail::SetTitle)
            .Int("TitleColor", &TThumbnail::TitleColor, &TThumbnail::SetTitleColor)
            .Enum("TitlePlacement", {"tpUp", "tpDown", "tpNone"}, &TThumbnail::TitlePlacement, &TThumbnail::SetTitlePlacement)
            .Bool("ShowTitle", &TThumbnail::ShowTitle, &TThumbnail::SetShowTitle)
            .Bool("ShowShadow", &TThumbnail::ShowShadow, &TThumbnail::SetShowShadow)
            .Int("ShadowColor", &TThumbnail::ShadowColor, &TThumbnail::SetShadowColor)
            .Bool("AsButton", &TThumbnail::AsButton, &TThumbnail::SetAsButton)
            .Bool("AutoLoad", &TThumbnail::AutoLoad, &TThumbnail::SetAutoLoad)
            .Bool("MinimizeMemory", &TThumbnail::MinimizeMemory, &TThumbnail::SetMinimizeMemory)
            .Done();
    return info;
}

void TThumbnail::SetFileName(const std::string& v) { SetFile(v, v.empty() ? std::nullopt : FindFile(v)); }

void TThumbnail::SetListedFile(const std::string& path, const WIN32_FIND_DATAA& listed) {
    SetFile(path, path.empty() ? std::nullopt : std::optional<WIN32_FIND_DATAA>(listed));
}

void TThumbnail::SetFile(const std::string& v, const std::optional<WIN32_FIND_DATAA>& found) {
    const std::string previous = fileName_->FileName();
    std::string loaded;
    if (!v.empty()) {
        if (found) TakeFileInfo(*found);
        if (autoLoad_) loaded = LoadPicture(v);
    }
    if (loaded == v && (title_ == FileNamePart(previous) || title_.empty())) SetTitle(FileNamePart(loaded));
    // The file name takes what was found: no second search (under Wine each costs about as
    // much as decoding a thumbnail).
    if (found && loaded == v) fileName_->SetFound(loaded, *found);
    else fileName_->SetFileName(loaded);
}

std::optional<WIN32_FIND_DATAA> TThumbnail::FindFile(const std::string& path) {
    WIN32_FIND_DATAA found{};
    if (!forms::UniqueFind(forms::NullIfInvalid(FindFirstFileA(path.c_str(), &found)))) return std::nullopt;
    return found;
}

void TThumbnail::TakeFileInfo(const WIN32_FIND_DATAA& found) {
    fileAccessed_.Set(found.ftLastAccessTime);
    fileChanged_.Set(found.ftLastWriteTime);
    fileCreated_.Set(found.ftCreationTime);
    fileSize_ = static_cast<std::int32_t>(found.nFileSizeLow);
}

ThumbSize TThumbnail::ReductionBox() const {
    if (const auto* view = dynamic_cast<const TThumbView*>(Owner())) return {view->MaxWidth(), view->MaxHeight()};
    return {Width(), Height()};
}

std::string TThumbnail::LoadPicture(const std::string& path) {
    std::string result = path;
    imageReady_ = false;
    try {
        image_->LoadFile(path);
        imageReady_ = true;
        imageWidth_ = image_->Picture()->Width();
        imageHeight_ = image_->Picture()->Height();
        titleResolved_ = false;
        PlaceImage();
        image_->Show();
    } catch (...) {
        // A picture that does not load leaves the cell as it was; the cell never raises.
        result.clear();
    }
    if (minimizeMemory_ && !fileName_->FileName().empty()) {
        try {
            const ThumbSize box = ReductionBox();
            image_->ReduceTo(box.width, box.height);
        } catch (...) {
            // Only memory is lost: the picture stays as it was loaded.
        }
    }
    return result;
}

void TThumbnail::PlaceImage() {
    if (image_ == nullptr || strip_ == nullptr) return;
    CellPlacementInput in;
    in.cellWidth = Width();
    in.cellHeight = Height();
    in.stripHeight = strip_->Height();
    in.borderWidth = BorderWidth();
    in.pictureWidth = image_->Picture()->Width();
    in.pictureHeight = image_->Picture()->Height();
    in.placement = titlePlacement_;
    in.shadowX = shadowX_;
    in.shadowY = shadowY_;
    const CellPlacement p = PlaceCellImage(in);
    roomWidth_ = p.clientWidth;
    roomHeight_ = p.clientHeight;
    image_->SetBounds(p.left, p.top, p.width, p.height);
    if (shadow_ != nullptr) shadow_->SetBounds(p.shadowLeft, p.shadowTop, p.width, p.height);
}

void TThumbnail::BoundsChanged() {
    PlaceImage();
    TBaseThumbnail::BoundsChanged();
}

void TThumbnail::SetTitle(const std::string& v) {
    if (v == title_) return;
    title_ = v;
    strip_->SetCaption(v);
}

void TThumbnail::SetTitleColor(forms::TColor v) {
    if (v == titleColor_) return;
    titleColor_ = v;
    strip_->SetColor(v);
}

void TThumbnail::SetTitleFont(forms::TFont* font) {
    if (font != nullptr) titleFont_->Assign(*font);
}

void TThumbnail::SetTitlePlacement(TTitlePos v) {
    if (v == titlePlacement_) return;
    if (v == tpUp) strip_->SetAlign(forms::alTop);
    else if (v == tpDown) strip_->SetAlign(forms::alBottom);
    else strip_->Hide();
    if (titlePlacement_ == tpNone) ShowStrip(true);
    titlePlacement_ = v;
    PlaceImage();
}

void TThumbnail::SetShowTitle(bool v) {
    if (v == showTitle_) return;
    showTitle_ = v;
    ShowStrip(v);
}

void TThumbnail::ShowStrip(bool v) {
    strip_->SetVisible(v);
    if (v && HandleAllocated()) strip_->HandleNeeded();
}

bool TThumbnail::MakesChildHandle(const forms::TWinControl& child) const {
    return &child != strip_ || strip_->Visible();
}

void TThumbnail::SetShowShadow(bool v) {
    shadow_->Brush()->SetColor(shadowColor_);
    shadow_->SetVisible(v);
    showShadow_ = v;
}

void TThumbnail::SetMinimizeMemory(bool v) {
    if (image_->Picture()->Graphic() != nullptr && v != minimizeMemory_) {
        if (v) {
            const ThumbSize box = ReductionBox();
            image_->ReduceTo(box.width, box.height);
        } else if (!FileName().empty()) {
            image_->Picture()->LoadFromFile(FileName());
        }
    }
    minimizeMemory_ = v;
}

void TThumbnail::ResolveTitle() {
    std::string title = title_;
    if (OnGetTitle) OnGetTitle(this, FileName(), title);
    else if (title.empty()) title = FileNamePart(FileName());
    SetTitle(title);
    titleResolved_ = true;
}

void TThumbnail::WndProc(forms::TMessage& m) {
    if (m.Msg == WM_PAINT && !titleResolved_ && !destroying_) ResolveTitle();
    if (m.Msg == WM_THUMB_IMAGE_TURNED) {
        PlaceImage();
        return;
    }
    TBaseThumbnail::WndProc(m);
}

void TThumbnail::ReleaseHandles() {
    GiveBackHandle();
    ReleaseGdiHandles();
    titleFont_->ReleaseHandle();
}

void TThumbnail::MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
    if (asButton_ && button == forms::mbLeft) {
        pressed_ = true;
        SetBevelOuter(forms::bvLowered);
        strip_->SetBevelOuter(forms::bvRaised);
    }
    TBaseThumbnail::MouseDown(button, shift, x, y);
}

void TThumbnail::MouseMove(forms::TShiftState shift, int x, int y) {
    if (asButton_ && pressed_) {
        const bool outside = x < 0 || x > Width() || y < 0 || y > Height();
        SetBevelOuter(outside ? forms::bvRaised : forms::bvLowered);
        strip_->SetBevelOuter(outside ? forms::bvLowered : forms::bvRaised);
    }
    TBaseThumbnail::MouseMove(shift, x, y);
}

void TThumbnail::MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
    if (asButton_ && button == forms::mbLeft) {
        pressed_ = false;
        SetBevelOuter(forms::bvRaised);
        strip_->SetBevelOuter(forms::bvLowered);
    }
    TBaseThumbnail::MouseUp(button, shift, x, y);
}

}  // namespace controls
