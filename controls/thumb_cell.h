// TThumbnail: one cell of the thumbnail view. A raised panel showing one picture file scaled
// to fit, a title strip above or below it (or none), an optional drop shadow; it reads the
// file's times and size and can behave as a push button.
#pragma once
#include <optional>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/portable/thumb_placement.h"
#include "controls/thumb_base.h"
#include "controls/thumb_image.h"
#include "forms/shape.h"

namespace controls {

using TTitleNotify = std::function<void(forms::TObject* Sender, const std::string& FileName, std::string& ThumbnailTitle)>;

constexpr int kTitleStripHeight = 15;

// A file time kept as read and turned into text (the user's short date and long time, or
// "Unknown") only when asked for: a scan reads thousands of files whose times nobody shows.
class TFileTimeText {
public:
    void Set(const FILETIME& time);
    // Empty until a time was set.
    const std::string& Text() const;

private:
    FILETIME time_{};
    bool known_ = false;
    mutable std::optional<std::string> text_;
};

class TThumbnail : public TBaseThumbnail {
public:
    explicit TThumbnail(forms::TComponent* owner);
    ~TThumbnail() override;
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

    // Reads the file's information and (with AutoLoad) loads its picture; after a failed
    // load, or with AutoLoad off, FileName is empty although the information was read.
    const std::string& FileName() const { return fileName_->FileName(); }
    void SetFileName(const std::string& v);
    // The same for a file whose folder listing just said what a search of it would find.
    void SetListedFile(const std::string& path, const WIN32_FIND_DATAA& listed);

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v);
    forms::TColor TitleColor() const { return titleColor_; }
    void SetTitleColor(forms::TColor v);
    forms::TFont* TitleFont() const { return titleFont_.get(); }
    void SetTitleFont(forms::TFont* font);
    TTitlePos TitlePlacement() const { return titlePlacement_; }
    void SetTitlePlacement(TTitlePos v);
    bool ShowTitle() const { return showTitle_; }
    void SetShowTitle(bool v);
    bool ShowShadow() const { return showShadow_; }
    void SetShowShadow(bool v);
    forms::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(forms::TColor v) { shadowColor_ = v; }
    bool MinimizeMemory() const { return minimizeMemory_; }
    void SetMinimizeMemory(bool v);
    bool AsButton() const { return asButton_; }
    void SetAsButton(bool v) { asButton_ = v; }
    bool AutoLoad() const { return autoLoad_; }
    void SetAutoLoad(bool v) { autoLoad_ = v; }
    TGRFKind StreamFileType() const { return streamFileType_; }
    void SetStreamFileType(TGRFKind v) { streamFileType_ = v; }

    // The file's times as text in the user's short date and long time format, "Unknown"
    // when a time does not convert.
    const std::string& FileCreated() const { return fileCreated_.Text(); }
    const std::string& FileChanged() const { return fileChanged_.Text(); }
    const std::string& FileAccessed() const { return fileAccessed_.Text(); }
    std::int32_t FileSize() const { return fileSize_; }
    int ImageWidth() const { return imageWidth_; }
    int ImageHeight() const { return imageHeight_; }
    // The room for the picture beside the strip and the border (never below 0).
    int PictureRoomWidth() const { return roomWidth_; }
    int PictureRoomHeight() const { return roomHeight_; }
    bool ImageReady() const { return imageReady_; }

    TThumbImage* Image() const { return image_; }
    TThumbTitle* Strip() const { return strip_; }
    forms::TShape* Shadow() const { return shadow_; }

    TTitleNotify OnGetTitle;

    void WndProc(forms::TMessage& m) override;
    // Gives back the cell's windows and GDI objects, keeping its state and the decoded picture:
    // coming back into view it shows again at once.
    void ReleaseHandles();
    // Places the picture (and its shadow) for the cell's size, the strip and the picture.
    virtual void PlaceImage();

    // The box the picture is shown in: the view's MaxWidth by MaxHeight, or the cell's own
    // size off a view.
    ThumbSize ReductionBox() const;

protected:
    void BoundsChanged() override;
    // A hidden title strip gets its window when shown: a gallery makes the windows of
    // thousands of cells as they come into view.
    bool MakesChildHandle(const forms::TWinControl& child) const override;
    void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
    void MouseMove(forms::TShiftState shift, int x, int y) override;
    void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

private:
    // What a search of the name finds; empty when nothing is found.
    static std::optional<WIN32_FIND_DATAA> FindFile(const std::string& path);
    // found: what the file system says of path, when it found it (else the information stays).
    void SetFile(const std::string& path, const std::optional<WIN32_FIND_DATAA>& found);
    void TakeFileInfo(const WIN32_FIND_DATAA& found);
    std::string LoadPicture(const std::string& path);
    void ResolveTitle();
    // Shows or hides the strip; a shown one gets its window with the cell's.
    void ShowStrip(bool v);

    std::string title_;
    TThumbTitle* strip_ = nullptr;
    forms::TColor titleColor_ = forms::clBtnFace;
    std::unique_ptr<forms::TFont> titleFont_;
    TGRFKind streamFileType_ = grBMP;
    TFileTimeText fileCreated_, fileChanged_, fileAccessed_;
    bool showTitle_ = false;
    std::int32_t fileSize_ = 0;
    int imageWidth_ = 0, imageHeight_ = 0;
    int roomWidth_ = 0, roomHeight_ = 0;
    forms::TShape* shadow_ = nullptr;
    bool titleResolved_ = false;
    bool imageReady_ = false;
    TTitlePos titlePlacement_ = tpUp;
    std::unique_ptr<TFileName> fileName_;
    TThumbImage* image_ = nullptr;
    bool pressed_ = false;
    bool destroying_ = false;
    bool asButton_ = false;
    bool minimizeMemory_ = true;
    bool autoLoad_ = true;
    forms::TColor shadowColor_ = forms::clSilver;
    bool showShadow_ = false;
    int shadowX_ = 3, shadowY_ = 3;
};

// The part of a path after its last backslash, slash or colon.
std::string FileNamePart(const std::string& path);

}  // namespace controls
