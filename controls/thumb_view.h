// TThumbView: a scrolling grid with one thumbnail cell for every picture file of a folder
// that matches a dialog-style filter. Setting Directory scans the folder at once (three
// events report the scan), the selection moves with the mouse and the arrow, Home and End
// keys, and the selected cell's title is highlighted.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "controls/portable/thumb_layout.h"
#include "controls/thumb_base.h"
#include "controls/thumb_cell.h"
#include "forms/portable/string_list.h"
#include "forms/text_compare.h"

namespace controls {

using TViewTitleNotify = std::function<void(forms::TObject* Sender, const std::string& FileName, std::string& ThumbnailTitle,
                                            forms::TFont*& ThumbnailFont, forms::TColor& ThumbnailColor)>;

// A string list in the order the user's language sorts names: its Sort, its sorted adds
// and its searches.
class TNameSortedList : public forms::TStringList {
public:
    int CompareStrings(std::string_view a, std::string_view b) const override { return forms::CompareTextLocale(a, b); }
};

// Entries: the cell's title when it was added, and the cell.
class TThumbList : public TNameSortedList {
public:
    TThumbnail* Thumbnail(int index) const { return dynamic_cast<TThumbnail*>(Objects(index)); }
};

class LayoutBatch;

class TThumbView : public TBaseThumbView {
public:
    explicit TThumbView(forms::TComponent* owner);
    ~TThumbView() override;
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

    const std::string& Directory() const { return directory_; }
    // Rescans, whether or not the value changed. From a scan's events it only clears
    // Selected; from a message that a scan let run, the scan ends early and this one follows.
    void SetDirectory(const std::string& v);
    int Selected() const { return selected_; }
    // -1 or an index of a cell; EListError for anything else, before any cell is touched.
    void SetSelected(int v);
    // The full path of the selected cell's file, empty with nothing selected.
    std::string SelectedFile() const;
    void SetSelectedFile(const std::string& v);
    int Count() const { return list_.Count(); }
    TThumbnail* Thumbnail(int index) const { return list_.Thumbnail(index); }
    const TThumbList& Thumbnails() const { return list_; }
    // Removes one cell; nothing for an index outside the list. Called during a scan (from
    // one of its events), the cell goes once the scan has ended.
    void DeleteItem(int index);

    int MaxWidth() const { return maxWidth_; }
    // Kept within 0..kMaxCellExtent, so that no coordinate of the grid overflows.
    void SetMaxWidth(int v);
    int MaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int v);
    // Kept within 1..100.
    int Size() const { return size_; }
    void SetSize(int v);
    int CellWidth() const { return cellWidth_; }
    int CellHeight() const { return cellHeight_; }
    int LineCapacity() const { return lineCapacity_; }
    TScrollMode ScrollMode() const { return scrollMode_; }
    void SetScrollMode(TScrollMode v);
    TViewType AlignView() const { return alignView_; }
    void SetAlignView(TViewType v);
    int ThumbGap() const { return thumbGap_; }
    void SetThumbGap(int v);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);
    bool AsButtons() const { return asButtons_; }
    void SetAsButtons(bool v);
    TTitlePos TitlePlacement() const { return titlePlacement_; }
    void SetTitlePlacement(TTitlePos v);
    bool AutoScrolling() const { return autoScrolling_; }
    void SetAutoScrolling(bool v) { autoScrolling_ = v; }
    bool AutoHandleKeyb() const { return autoHandleKeyb_; }
    void SetAutoHandleKeyb(bool v) { autoHandleKeyb_ = v; }
    bool MinMemory() const { return minMemory_; }
    void SetMinMemory(bool v) { minMemory_ = v; }
    forms::TColor ThumbColor() const { return thumbColor_; }
    void SetThumbColor(forms::TColor v) { thumbColor_ = v; }
    bool ShowShadow() const { return showShadow_; }
    void SetShowShadow(bool v) { showShadow_ = v; }
    forms::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(forms::TColor v) { shadowColor_ = v; }
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& v) { filter_ = v; }
    bool Busy() const { return busy_; }

    TViewTitleNotify OnGetTitle;  // never fired: each cell asks its own
    forms::TNotifyEvent OnChanging;
    forms::TNotifyEvent OnChange;
    TProgressStartNotify OnStartScanning;
    forms::TNotifyEvent OnStopScanning;
    TProgressNotify OnScanProgress;
    TInvalidImageEvent OnInvalidImage;

    // Moves the scroll positions so that the cell ends half its size inside the near edge;
    // then, for another cell than the selected one, stores it as Selected (no colours, no
    // OnChanging/OnChange) and fires OnClick.
    void ScrollIntoView(int index);

    void WndProc(forms::TMessage& m) override;

protected:
    void GetDlgCode(TDlgCodes& codes) override;
    void Resize() override;
    void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, forms::TShiftState shift) override;
    void KeyUp(WORD& key, forms::TShiftState shift) override;
    void Notification(forms::TComponent* component, forms::TOperation operation) override;
    // A cell's window is made when the cell first comes into view: under Wine making and
    // placing a window costs more than decoding a thumbnail, and most cells are never seen.
    bool MakesChildHandle(const forms::TWinControl& child) const override;
    void ScrollPositionChanged(int dx, int dy) override;

private:
    // Makes the windows of the cells in view that have none yet, and has the cells far out of
    // view give back their windows and bitmaps (a process gets 10,000 of each).
    void UpdateCellHandles();
    // The cells whose bounds meet the client area along the scrolling direction, [first, last):
    // cells follow each other along it, so a binary search finds them.
    std::pair<int, int> CellsAlong(const RECT& client) const;
    // The client area with the reach kept beyond it: one view's length, fewer lines of tiny cells.
    RECT KeptArea(const RECT& client) const;
    // Frees a cell that is no longer in the view's layout.
    void FreeCell(TThumbnail* cell);
    // The wheel moves the content along the scrolling direction, one pixel per unit of delta.
    void ScrollByWheel(int delta, bool horizontalWheel);
    // A context menu asked for from the keyboard opens at the selected cell.
    void PlaceKeyboardContextMenu(forms::TMessage& m);
    ThumbGrid Grid() const;
    TThumbnail* AddThumbnail(const std::string& title, bool relayout);
    void CollectFiles(std::string folder);
    // One scan (an empty folder clears the view); false when the view was destroyed meanwhile.
    bool ScanFolder(const std::string& folder, const std::shared_ptr<bool>& alive);
    void ClearThumbnails();
    void ComputeCellSize();
    void ComputeLineCapacity();
    // Places the cells that do not stand where the grid puts them (positions relative to the
    // scrolled content); scroll ranges follow when the outermost LayoutBatch ends.
    void Layout();
    // Every cell is placed again at the next Layout.
    void Relayout();
    void RefreshAll();
    // When a scan last let messages run, and last had the view drawn.
    struct ScanClock {
        DWORD lastPump;
        DWORD lastShown;
    };
    // Lets pending messages run during a scan when kScanPumpMs have passed since the last
    // time; false when the view was destroyed meanwhile (then nothing of it may be touched).
    bool PumpDuringScan(ScanClock& clock, const std::shared_ptr<bool>& alive, LayoutBatch& batch);
    friend class LayoutBatch;
    void RemoveNow(int index);
    void RemoveDeferredCells();
    // Decodes the scan's JPEG files ahead on worker threads.
    std::unique_ptr<JpegPrefetcher> MakePrefetcher(const forms::TStringList& files) const;
    void ForwardInvalidImage(forms::TObject* sender, const std::string& fileName);

    int maxWidth_ = 200;
    int maxHeight_ = 200;
    int cellWidth_ = 200;
    int cellHeight_ = 200;
    int size_ = 100;
    std::string directory_;
    TScrollMode scrollMode_ = smHorizontal;
    bool autoScrolling_ = true;
    int selected_ = -1;
    TViewType alignView_ = vtNormal;
    int thumbGap_ = 4;
    int lineCapacity_ = 1;
    bool minMemory_ = true;
    bool painted_ = false;
    forms::TStringList foundFiles_;
    TNameSortedList sortedFiles_;
    // What the folder's listing said of each found path, handed to its cell during the scan.
    std::unordered_map<std::string, WIN32_FIND_DATAA> listed_;
    bool sorted_ = true;
    bool busy_ = false;
    std::string filter_;
    forms::TColor thumbColor_ = forms::clNone;
    bool asButtons_ = false;
    TTitlePos titlePlacement_ = tpUp;
    bool autoHandleKeyb_ = true;
    bool showShadow_ = false;
    forms::TColor shadowColor_ = forms::clBlack;
    TThumbList list_;
    ThumbLayoutPlan plan_;
    // Cells DeleteItem was asked to remove while a scan was walking the list.
    std::vector<TThumbnail*> deferredRemovals_;
    // False once the view is destroyed: a scan that let messages run checks it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Messages are running inside a scan; a folder they asked for comes next.
    bool pumping_ = false;
    std::optional<std::string> pendingDirectory_;
    // Cells that got a window, until they give it back.
    std::vector<TThumbnail*> windowedCells_;
    // The cell being made or freed by the view itself.
    bool makingCell_ = false;
    const forms::TComponent* leavingCell_ = nullptr;
};

// Every picture format the form library loads: all of them first, then one entry each.
extern const char* const kDefaultThumbFilter;

}  // namespace controls
