#include "controls/thumb_view.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <set>
#include <thread>

#include "controls/portable/jpeg_scale_choice.h"

#include "controls/portable/thumb_masks.h"
#include "forms/application.h"
#include "forms/gdi_handle.h"
#include "forms/portable/properties.h"
#include "forms/portable/text_case.h"

namespace controls {

using forms::TClassInfo;

const char* const kDefaultThumbFilter =
    "All pictures (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|JPEG Image File (*.jpg)|*.jpg|"
    "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";

namespace {

constexpr DWORD kHourglassAfterMs = 1000;
// A scan lets pending messages run this often, so the window stays alive and Stop works,
constexpr DWORD kScanPumpMs = 100;
// Decodes started ahead of the cell being made, per decoding thread: the threads go on with
// later pictures while the next cell waits for a large one.
constexpr int kDecodesAheadPerThread = 3;
// and draws the view this often: each drawing costs as much as there are cells.
constexpr DWORD kScanShowMs = 1000;
// Cells kept with their windows beyond the view on either side, at most (about).
constexpr int kKeptCellsEachSide = 180;

// The keys that ask for a context menu: the menu key, and F10 with Shift.
bool IsContextMenuKey(WORD key, forms::TShiftState shift) {
    return key == VK_APPS || (key == VK_F10 && (shift & forms::ssShift) != 0);
}

// A WM_CONTEXTMENU from the keyboard carries no mouse position.
bool FromKeyboard(LPARAM position) { return LOWORD(position) == 0xFFFF && HIWORD(position) == 0xFFFF; }

// True when a cell's bounds (relative to the visible area) meet the client area.
bool Meets(const forms::TControl& cell, const RECT& client) {
    return cell.Left() < client.right && cell.Left() + cell.Width() > client.left && cell.Top() < client.bottom &&
           cell.Top() + cell.Height() > client.top;
}

bool FolderExists(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Restores the view's state when a scan ends, also by an exception; a view destroyed
// during the scan is left alone.
class ScanScope {
public:
    ScanScope(bool& busy, forms::TControl& view, std::shared_ptr<bool> alive)
        : busy_(busy), view_(view), cursor_(view.Cursor()), alive_(std::move(alive)) {
        busy_ = true;
    }
    ~ScanScope() {
        if (!*alive_) return;
        busy_ = false;
        view_.SetCursor(cursor_);
    }
    ScanScope(const ScanScope&) = delete;
    ScanScope& operator=(const ScanScope&) = delete;

private:
    bool& busy_;
    forms::TControl& view_;
    forms::TCursor cursor_;
    std::shared_ptr<bool> alive_;
};

}  // namespace

// Keeps a visible window from being drawn while its cells are made, moved or freed: the
// system then keeps no visible regions for them, work that grows with the number of cells
// already there. Resuming has the whole view drawn again.
class RedrawPause {
public:
    explicit RedrawPause(forms::TWinControl& view) : view_(view) { Pause(); }
    ~RedrawPause() { Resume(); }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

    void Pause() {
        HWND wnd = view_.WindowHandle();
        // Nested in another pause the window is already invisible: nothing to do.
        if (paused_ || wnd == nullptr || !IsWindowVisible(wnd)) return;
        SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
        paused_ = true;
    }
    // For a window that is gone.
    void Forget() { paused_ = false; }
    void Resume() {
        if (!paused_) return;
        paused_ = false;
        HWND wnd = view_.WindowHandle();
        if (wnd == nullptr) return;
        SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }

private:
    forms::TWinControl& view_;
    bool paused_ = false;
};

// One layout, one update of the scroll ranges and one repaint for a batch of changes to the
// cells. A view destroyed meanwhile is left alone.
class LayoutBatch {
public:
    explicit LayoutBatch(TThumbView& view)
        : view_(view), alive_(view.alive_), exceptions_(std::uncaught_exceptions()) {
        view_.DisableAlign();
        pause_.emplace(view_);
    }
    ~LayoutBatch() noexcept(false) {
        if (!*alive_) {
            pause_->Forget();
            return;
        }
        if (std::uncaught_exceptions() == exceptions_) {
            Finish();
            return;
        }
        // Already unwinding: the first exception is the one that tells what went wrong.
        try {
            Finish();
        } catch (...) {
        }
    }
    LayoutBatch(const LayoutBatch&) = delete;
    LayoutBatch& operator=(const LayoutBatch&) = delete;

    // Puts the cells so far where they belong, with scroll ranges to match, so that the
    // messages let through meanwhile see the view as outside the batch; with show, the view
    // is drawn again too.
    void Suspend(bool show) {
        view_.Layout();
        view_.UpdateCellHandles();
        view_.EnableAlign();
        if (show) pause_->Resume();
    }
    void Continue() {
        pause_->Pause();
        view_.DisableAlign();
    }

private:
    void Finish() {
        struct Enable {
            forms::TWinControl& view;
            std::optional<RedrawPause>& pause;
            ~Enable() {
                view.EnableAlign();
                pause.reset();
            }
        } enable{view_, pause_};
        view_.Layout();
        view_.UpdateCellHandles();
    }

    TThumbView& view_;
    std::shared_ptr<bool> alive_;
    int exceptions_;
    std::optional<RedrawPause> pause_;
};

TThumbView::TThumbView(forms::TComponent* owner) : TBaseThumbView(owner), filter_(kDefaultThumbFilter) {
    list_.SetSorted(sorted_);
    SetBounds(Left(), Top(), 600, 480);
    SetTabStop(true);
    SetCaption("");
    HorzScrollBar()->SetTracking(true);
    VertScrollBar()->SetTracking(true);
    ComputeCellSize();
}

TThumbView::~TThumbView() { *alive_ = false; }

const TClassInfo& TThumbView::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TThumbView>("TThumbView", &TBaseThumbView::StaticClass())
            .Int("MaxWidth", &TThumbView::MaxWidth, &TThumbView::SetMaxWidth)
            .Int("MaxHeight", &TThumbView::MaxHeight, &TThumbView::SetMaxHeight)
            .Int("Size", &TThumbView::Size, &TThumbView::SetSize)
            .Str("Directory", [](const TThumbView& v) { return v.Directory(); }, &TThumbView::SetDirectory)
            .Enum("ScrollMode", {"smHorizontal", "smVertical", "smBoth"}, &TThumbView::ScrollMode, &TThumbView::SetScrollMode)
            .Bool("AutoScrolling", &TThumbView::AutoScrolling, &TThumbView::SetAutoScrolling)
            .Int("Selected", &TThumbView::Selected, &TThumbView::SetSelected)
            .Enum("AlignView", {"vtNormal", "vtCenter", "vtFitToScreen"}, &TThumbView::AlignView, &TThumbView::SetAlignView)
            .Int("ThumbGap", &TThumbView::ThumbGap, &TThumbView::SetThumbGap)
            .Bool("MinMemory", &TThumbView::MinMemory, &TThumbView::SetMinMemory)
            .Bool("Sorted", &TThumbView::Sorted, &TThumbView::SetSorted)
            .Str("Filter", [](const TThumbView& v) { return v.Filter(); }, &TThumbView::SetFilter)
            .Int("ThumbColor", &TThumbView::ThumbColor, &TThumbView::SetThumbColor)
            .Bool("AsButtons", &TThumbView::AsButtons, &TThumbView::SetAsButtons)
            .Enum("TitlePlacement", {"tpUp", "tpDown", "tpNone"}, &TThumbView::TitlePlacement, &TThumbView::SetTitlePlacement)
            .Bool("AutoHandleKeyb", &TThumbView::AutoHandleKeyb, &TThumbView::SetAutoHandleKeyb)
            .Bool("ShowShadow", &TThumbView::ShowShadow, &TThumbView::SetShowShadow)
            .Int("ShadowColor", &TThumbView::ShadowColor, &TThumbView::SetShadowColor)
            .Int("Count", &TThumbView::Count)
            .Str("SelectedFile", [](const TThumbView& v) { return v.SelectedFile(); }, &TThumbView::SetSelectedFile)
            .Done();
    return info;
}

ThumbGrid TThumbView::Grid() const {
    ThumbGrid g;
    g.scrollMode = scrollMode_;
    g.alignView = alignView_;
    g.cellWidth = cellWidth_;
    g.cellHeight = cellHeight_;
    g.gap = thumbGap_;
    g.viewWidth = Width();
    g.viewHeight = Height();
    g.lineCapacity = lineCapacity_;
    return g;
}

void TThumbView::ComputeCellSize() {
    cellWidth_ = CellExtent(maxWidth_, size_);
    cellHeight_ = CellExtent(maxHeight_, size_);
    ComputeLineCapacity();
}

void TThumbView::ComputeLineCapacity() { lineCapacity_ = controls::LineCapacity(Grid(), Count()); }

void TThumbView::Layout() {
    // Children stand relative to the visible area.
    const int h = HorzScrollBar()->Position(), v = VertScrollBar()->Position();
    plan_.Place(Grid(), Count(), [&](int index, int left, int top) {
        if (TThumbnail* cell = list_.Thumbnail(index)) cell->SetBounds(left - h, top - v, cellWidth_, cellHeight_);
    });
}

void TThumbView::Relayout() { plan_.MoveAll(); }

bool TThumbView::MakesChildHandle(const forms::TWinControl& child) const {
    return dynamic_cast<const TThumbnail*>(&child) == nullptr || Meets(child, ClientRect());
}

std::pair<int, int> TThumbView::CellsAlong(const RECT& client) const {
    const bool alongX = scrollMode_ == smHorizontal;
    const int from = alongX ? client.left : client.top;
    const int to = alongX ? client.right : client.bottom;
    const auto nearEdge = [&](int i) {
        const TThumbnail* c = list_.Thumbnail(i);
        return c == nullptr ? 0 : alongX ? c->Left() : c->Top();
    };
    const auto farEdge = [&](int i) {
        const TThumbnail* c = list_.Thumbnail(i);
        return c == nullptr ? 0 : alongX ? c->Left() + c->Width() : c->Top() + c->Height();
    };
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (farEdge(mid) <= from) lo = mid + 1;
        else hi = mid;
    }
    const int first = lo;
    hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (nearEdge(mid) < to) lo = mid + 1;
        else hi = mid;
    }
    return {first, lo};
}

RECT TThumbView::KeptArea(const RECT& client) const {
    const auto reach = [&](int viewLength, int cellLength, int lines) {
        const long long pitch = static_cast<long long>(thumbGap_) + cellLength;
        return static_cast<int>(std::min<long long>(viewLength, pitch * lines));
    };
    const int width = client.right - client.left, height = client.bottom - client.top;
    // Lines of tiny cells hold many: at most about kKeptCellsEachSide cells are kept either side.
    const int lines = std::max(1, kKeptCellsEachSide / std::max(1, lineCapacity_));
    RECT r = client;
    int dx = 0, dy = 0;
    switch (scrollMode_) {
        case smHorizontal: dx = reach(width, cellWidth_, lines); break;
        case smVertical: dy = reach(height, cellHeight_, lines); break;
        case smBoth:
            // Lines run both ways: one more of each.
            dx = reach(width, cellWidth_, 1);
            dy = reach(height, cellHeight_, 1);
            break;
    }
    InflateRect(&r, dx, dy);
    return r;
}

void TThumbView::UpdateCellHandles() {
    if (!HandleAllocated()) return;
    const RECT client = ClientRect();
    const RECT kept = KeptArea(client);
    const HWND capture = GetCapture(), focus = GetFocus();
    std::vector<TThumbnail*> distant;
    for (TThumbnail* cell : windowedCells_) {
        if (Meets(*cell, kept)) continue;
        // A cell the user holds (the mouse, the keyboard) keeps its windows.
        const HWND wnd = cell->WindowHandle();
        if (wnd != nullptr && ((capture != nullptr && (capture == wnd || IsChild(wnd, capture))) ||
                               (focus != nullptr && (focus == wnd || IsChild(wnd, focus)))))
            continue;
        distant.push_back(cell);
    }
    for (TThumbnail* cell : distant) {
        std::erase(windowedCells_, cell);
        cell->ReleaseHandles();
    }
    const auto [first, last] = CellsAlong(client);
    for (int i = first; i < last; ++i) {
        TThumbnail* cell = list_.Thumbnail(i);
        if (cell != nullptr && !cell->HandleAllocated() && cell->Parent() == this && Meets(*cell, client)) cell->HandleNeeded();
    }
}

void TThumbView::ScrollPositionChanged(int dx, int dy) {
    TBaseThumbView::ScrollPositionChanged(dx, dy);
    UpdateCellHandles();
}

void TThumbView::RefreshAll() {
    {
        LayoutBatch batch(*this);
        ComputeCellSize();
        for (int i = 0; i < Count(); ++i)
            if (TThumbnail* cell = list_.Thumbnail(i)) cell->PlaceImage();
    }
    // One repaint of the view and every cell in it.
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TThumbView::CollectFiles(std::string folder) {
    foundFiles_.Clear();
    sortedFiles_.Clear();
    listed_.clear();
    const std::vector<std::string> masks = BuildMaskList(filter_);
    if (FolderExists(folder)) {
        if (folder.back() != '\\') folder += '\\';
        std::set<std::string> seen;  // folded paths
        for (const std::string& mask : masks) {
            WIN32_FIND_DATAA found{};
            forms::UniqueFind search(forms::NullIfInvalid(FindFirstFileA((folder + mask).c_str(), &found)));
            if (!search) continue;
            do {
                if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
                const std::string path = folder + found.cFileName;
                if (!seen.insert(forms::UpperAscii(path)).second) continue;
                foundFiles_.Add(path);
                sortedFiles_.Add(path);
                listed_.emplace(path, found);
            } while (FindNextFileA(search.get(), &found));
        }
    }
    sortedFiles_.Sort();
}

void TThumbView::ClearThumbnails() {
    deferredRemovals_.clear();  // their cells go now
    LayoutBatch batch(*this);
    // From the end: each removal then moves nothing in the list.
    for (int i = Count() - 1; i >= 0; --i) {
        if (TThumbnail* cell = list_.Thumbnail(i)) FreeCell(cell);
        list_.Delete(i);
    }
    plan_.MoveAll();
}

void TThumbView::Notification(forms::TComponent* component, forms::TOperation operation) {
    // A cell the view makes or frees is news to no other cell; telling every one of them
    // would make each cell cost as much as all the cells before it.
    if (operation == forms::opRemove)
        std::erase_if(windowedCells_, [component](const TThumbnail* cell) { return cell == component; });
    if (operation == forms::opInsert && makingCell_) return;
    if (operation == forms::opRemove && component != nullptr && component == leavingCell_) return;
    TBaseThumbView::Notification(component, operation);
}

void TThumbView::FreeCell(TThumbnail* cell) {
    std::erase(windowedCells_, cell);
    cell->SetParent(nullptr);
    leavingCell_ = cell;
    struct Done {
        const forms::TComponent*& cell;
        ~Done() { cell = nullptr; }
    } done{leavingCell_};
    delete cell;
}

TThumbnail* TThumbView::AddThumbnail(const std::string& title, bool relayout) {
    TThumbnail* cell = nullptr;
    {
        // The constructor tells its owner before the pointer is known.
        makingCell_ = true;
        struct Done {
            bool& making;
            ~Done() { making = false; }
        } done{makingCell_};
        cell = new TThumbnail(this);
    }
    const ThumbGrid grid = Grid();
    cell->SetBounds(CellLeft(grid, Count() + 1) - HorzScrollBar()->Position(),
                    CellTop(grid, Count() + 1) - VertScrollBar()->Position(), cellWidth_, cellHeight_);
    cell->SetAsButton(asButtons_);
    cell->SetTitlePlacement(titlePlacement_);
    cell->SetShadowColor(shadowColor_);
    cell->SetShowShadow(showShadow_);
    cell->OnClick = OnClick;
    cell->OnDblClick = OnDblClick;
    cell->Image()->OnClick = OnClick;
    cell->Image()->OnDblClick = OnDblClick;
    cell->Image()->OnInvalidImage = [this](forms::TObject* sender, const std::string& name) { ForwardInvalidImage(sender, name); };
    cell->SetMinimizeMemory(minMemory_);
    cell->SetColor(Color());
    cell->SetTitle(title);
    if (thumbColor_ == forms::clNone) {
        cell->SetColor(Color());
        cell->SetParentColor(true);
        cell->SetTitleColor(Color());
    } else {
        cell->SetColor(thumbColor_);
    }
    plan_.Inserted(list_.AddObject(cell->Title(), cell));
    cell->SetParent(this);
    if (relayout) {
        ComputeCellSize();
        Layout();
    }
    return cell;
}

void TThumbView::SetDirectory(const std::string& v) {
    selected_ = -1;
    if (busy_) {
        // Asked for by a message the scan let through (the user chose another folder): the
        // scan ends early and the new folder follows. From the scan's own events: refused.
        if (pumping_) pendingDirectory_ = v;
        return;
    }
    const std::shared_ptr<bool> alive = alive_;
    pendingDirectory_.reset();  // left by a scan that an exception ended
    std::string folder = v;
    for (;;) {
        if (!ScanFolder(folder, alive)) return;
        if (!pendingDirectory_) break;
        folder = std::move(*pendingDirectory_);
        pendingDirectory_.reset();
    }
    directory_ = folder;
    if (Count() > 0 && selected_ < 0) SetSelected(0);
    Invalidate();
}

bool TThumbView::ScanFolder(const std::string& v, const std::shared_ptr<bool>& alive) {
    if (v.empty()) {
        ClearThumbnails();
        return true;
    }
    forms::TStringList working;
    {
        // A removal asked for in a scan that an exception ended is forgotten.
        deferredRemovals_.clear();
        ScanScope scope(busy_, *this, alive);
        const DWORD start = GetTickCount();
        ScanClock clock{start, start};
        CollectFiles(v);
        working.Assign(sorted_ ? sortedFiles_ : foundFiles_);
        ClearThumbnails();
        directory_ = v;
        std::unique_ptr<JpegPrefetcher> prefetcher = MakePrefetcher(working);
        if (OnStartScanning) OnStartScanning(this, working.Count() - 1);
        if (!*alive) return false;
        bool stop = false;
        {
            LayoutBatch batch(*this);
            ComputeCellSize();
            for (int i = 0; i < working.Count() && !pendingDirectory_; ++i) {
                // A full view stops as a stopped scan does.
                if (Count() >= kMaxThumbCount) break;
                if (OnScanProgress) OnScanProgress(this, i + 1, stop);
                if (!*alive) return false;
                if (stop) break;
                const std::string& path = working[i];
                // Placed with the line capacity of the batch: the others stay where they are.
                TThumbnail* cell = AddThumbnail(FileNamePart(path), false);
                Layout();
                cell->Image()->SetPrefetcher(prefetcher.get());
                if (const auto listed = listed_.find(path); listed != listed_.end()) cell->SetListedFile(path, listed->second);
                else cell->SetFileName(path);
                if (!*alive) return false;
                cell->Image()->SetPrefetcher(nullptr);
                if (Cursor() != forms::crHourGlass && GetTickCount() - start > kHourglassAfterMs) SetCursor(forms::crHourGlass);
                if (!PumpDuringScan(clock, alive, batch)) return false;
            }
            ComputeCellSize();
        }
        listed_.clear();
        if (OnStopScanning) OnStopScanning(this);
        if (!*alive) return false;
    }
    RemoveDeferredCells();
    return true;
}

bool TThumbView::PumpDuringScan(ScanClock& clock, const std::shared_ptr<bool>& alive, LayoutBatch& batch) {
    const DWORD now = GetTickCount();
    if (forms::Application == nullptr || now - clock.lastPump < kScanPumpMs) return true;
    const bool show = now - clock.lastShown >= kScanShowMs;
    ComputeCellSize();
    batch.Suspend(show);
    pumping_ = true;
    forms::Application->ProcessMessages();
    if (!*alive) return false;
    pumping_ = false;
    batch.Continue();
    clock.lastPump = GetTickCount();
    if (show) clock.lastShown = clock.lastPump;
    return true;
}

std::unique_ptr<JpegPrefetcher> TThumbView::MakePrefetcher(const forms::TStringList& files) const {
    std::vector<std::string> jpegs;
    for (int i = 0; i < files.Count(); ++i)
        if (IsScaledJpegPath(files[i])) jpegs.push_back(files[i]);
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // The box of every cell of this scan (ReductionBox).
    const int boxWidth = MaxWidth(), boxHeight = MaxHeight();
    return std::make_unique<JpegPrefetcher>(
        std::move(jpegs),
        [boxWidth, boxHeight](const std::string& path, const forms::JpegInfo& header) {
            return JpegScaleForCell(MeasureFileSize(path), header.width, header.height, boxWidth, boxHeight);
        },
        kDecodesAheadPerThread * threads, JpegPrefetcher::Launch{}, threads);
}

void TThumbView::RemoveDeferredCells() {
    std::vector<TThumbnail*> cells;
    cells.swap(deferredRemovals_);
    for (TThumbnail* cell : cells) {
        const int index = list_.IndexOfObject(cell);
        if (index >= 0) RemoveNow(index);
    }
}

void TThumbView::SetSelected(int v) {
    if (Count() == 0) return;
    if (v != -1 && (v < 0 || v >= Count())) throw forms::EListError(forms::Format("List index out of bounds (%d)", v));
    if (selected_ >= 0 && selected_ < Count()) {
        if (TThumbnail* old = list_.Thumbnail(selected_)) {
            old->SetTitleColor(old->Color());
            old->TitleFont()->SetColor(old->Font()->Color());
        }
    }
    if (v != -1) {
        TThumbnail* cell = list_.Thumbnail(v);
        cell->SetTitleColor(forms::clHighlight);
        cell->TitleFont()->SetColor(forms::clHighlightText);
        if (autoScrolling_) {
            if (cell->Top() + cell->Height() > Height() || cell->Top() < 0) ScrollIntoView(v);
            if (cell->Left() + cell->Width() > Width() || cell->Left() < 0) ScrollIntoView(v);
        }
    }
    if (v != selected_) {
        if (OnChanging) OnChanging(this);
        selected_ = v;
        if (OnChange) OnChange(this);
    }
}

void TThumbView::ScrollIntoView(int index) {
    if (index < 0 || index >= Count()) return;
    TThumbnail* c = list_.Thumbnail(index);
    if (c == nullptr) return;
    if (scrollMode_ == smVertical || scrollMode_ == smBoth) {
        forms::TControlScrollBar* bar = VertScrollBar();
        if (c->Top() < 0) bar->SetPosition(bar->Position() + c->Top() - c->Height() / 2);
        else if (c->Top() + c->Height() > Height())
            bar->SetPosition(bar->Position() + c->Top() - (Height() - c->Height() - c->Height() / 2));
    }
    if (scrollMode_ == smHorizontal || scrollMode_ == smBoth) {
        forms::TControlScrollBar* bar = HorzScrollBar();
        if (c->Left() < 0) bar->SetPosition(bar->Position() + c->Left() - c->Width() / 2);
        else if (c->Left() + c->Width() > Width())
            bar->SetPosition(bar->Position() + c->Left() - (Width() - c->Width() - c->Width() / 2));
    }
    if (index != selected_) {
        selected_ = index;
        if (OnClick) OnClick(this);
    }
}

std::string TThumbView::SelectedFile() const {
    if (selected_ < 0 || selected_ >= Count()) return {};
    TThumbnail* cell = list_.Thumbnail(selected_);
    return cell != nullptr ? cell->FileName() : std::string();
}

void TThumbView::SetSelectedFile(const std::string& v) {
    std::string folder;
    const std::size_t slash = v.rfind('\\');
    if (slash != std::string::npos) folder = v.substr(0, slash);
    else if (v.size() >= 2 && v[1] == ':') folder = v.substr(0, 2);
    SetDirectory(folder);
    for (int i = 0; i < Count(); ++i) {
        TThumbnail* cell = list_.Thumbnail(i);
        if (cell != nullptr && cell->FileName() == v) {
            SetSelected(i);
            break;
        }
    }
    if (!autoScrolling_ && selected_ >= 0) ScrollIntoView(selected_);
}

void TThumbView::DeleteItem(int index) {
    if (index < 0 || index >= Count()) return;
    if (busy_) {
        TThumbnail* cell = list_.Thumbnail(index);
        if (std::find(deferredRemovals_.begin(), deferredRemovals_.end(), cell) == deferredRemovals_.end())
            deferredRemovals_.push_back(cell);
        return;
    }
    RemoveNow(index);
}

void TThumbView::RemoveNow(int index) {
    {
        LayoutBatch batch(*this);
        if (TThumbnail* cell = list_.Thumbnail(index)) FreeCell(cell);
        list_.Delete(index);
        plan_.Removed(index);
        selected_ = -1;
    }
    RefreshAll();
}

void TThumbView::SetMaxWidth(int v) {
    LayoutBatch batch(*this);
    maxWidth_ = ClampCellExtent(v);
    ComputeCellSize();
    Relayout();
}

void TThumbView::SetMaxHeight(int v) {
    LayoutBatch batch(*this);
    maxHeight_ = ClampCellExtent(v);
    ComputeCellSize();
    Relayout();
}

void TThumbView::SetSize(int v) {
    LayoutBatch batch(*this);
    size_ = std::clamp(v, kMinThumbSize, kMaxThumbSize);
    ComputeCellSize();
    Relayout();
}

void TThumbView::SetScrollMode(TScrollMode v) {
    if (v == scrollMode_) return;
    {
        LayoutBatch batch(*this);
        scrollMode_ = v;
        ComputeCellSize();
        Relayout();
    }
    if (selected_ >= 0) ScrollIntoView(selected_);
}

void TThumbView::SetAlignView(TViewType v) {
    if (v == alignView_) return;
    LayoutBatch batch(*this);
    alignView_ = v;
    Relayout();
}

void TThumbView::SetThumbGap(int v) {
    thumbGap_ = std::clamp(v, 0, kMaxThumbGap);
    // A fitted view recomputes its gaps at the next layout.
    if (alignView_ == vtFitToScreen) return;
    LayoutBatch batch(*this);
    ComputeLineCapacity();
    Relayout();
}

void TThumbView::SetSorted(bool v) {
    if (v == sorted_) return;
    sorted_ = v;
    list_.SetSorted(v);
    Relayout();  // the list may have a new order
    if (painted_) {
        SetDirectory(directory_);
        Invalidate();
    }
}

void TThumbView::SetAsButtons(bool v) {
    if (v == asButtons_) return;
    for (int i = 0; i < Count(); ++i)
        if (TThumbnail* cell = list_.Thumbnail(i)) cell->SetAsButton(v);
    asButtons_ = v;
}

void TThumbView::SetTitlePlacement(TTitlePos v) {
    if (v == titlePlacement_) return;
    for (int i = 0; i < Count(); ++i)
        if (TThumbnail* cell = list_.Thumbnail(i)) cell->SetTitlePlacement(v);
    titlePlacement_ = v;
}

void TThumbView::ForwardInvalidImage(forms::TObject* sender, const std::string& fileName) {
    if (OnInvalidImage) OnInvalidImage(sender, fileName);
}

void TThumbView::GetDlgCode(TDlgCodes& codes) { codes = dcWantAllKeys | dcWantArrows; }

void TThumbView::Resize() {
    {
        LayoutBatch batch(*this);
        ComputeLineCapacity();
        Relayout();
    }
    TBaseThumbView::Resize();
}

void TThumbView::MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
    if (Count() > 0) {
        const int index = HitIndex(Grid(), x, y, HorzScrollBar()->Position(), VertScrollBar()->Position());
        TThumbnail* cell = index < Count() ? list_.Thumbnail(index) : nullptr;
        const bool inside = cell != nullptr && cell->Left() < x && x < cell->Left() + cell->Width() && cell->Top() < y &&
                            y < cell->Top() + cell->Height();
        SetSelected(inside ? index : -1);
    }
    TBaseThumbView::MouseDown(button, shift, x, y);
}

void TThumbView::KeyDown(WORD& key, forms::TShiftState shift) {
    TBaseThumbView::KeyDown(key, shift);  // OnKeyDown first
    if (autoHandleKeyb_ && Count() > 0 && IsThumbKey(key)) {
        SetSelected(KeyTarget(Grid(), static_cast<ThumbKey>(key), selected_, Count()));
        ScrollIntoView(selected_);
    }
    if (IsContextMenuKey(key, shift)) {
        Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(0xFFFF, 0xFFFF));
        key = 0;
    }
}

void TThumbView::KeyUp(WORD& key, forms::TShiftState shift) {
    TBaseThumbView::KeyUp(key, shift);
    // The key-down opened the menu already.
    if (IsContextMenuKey(key, shift)) key = 0;
}

void TThumbView::ScrollByWheel(int delta, bool horizontalWheel) {
    const bool alongRows = scrollMode_ == smHorizontal || horizontalWheel;
    forms::TControlScrollBar* bar = alongRows ? HorzScrollBar() : VertScrollBar();
    // A horizontal wheel's positive delta points right, a vertical one's up.
    bar->SetPosition(bar->Position() + (horizontalWheel ? delta : -delta));
}

void TThumbView::PlaceKeyboardContextMenu(forms::TMessage& m) {
    if (!FromKeyboard(m.LParam) || selected_ < 0 || selected_ >= Count()) return;
    TThumbnail* cell = list_.Thumbnail(selected_);
    if (cell == nullptr) return;
    ScrollIntoView(selected_);
    const POINT p = ClientToScreen(POINT{cell->Left() + cell->Width() / 2, cell->Top() + cell->Height() / 2});
    m.LParam = MAKELPARAM(p.x, p.y);
}

void TThumbView::WndProc(forms::TMessage& m) {
    switch (m.Msg) {
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            ScrollByWheel(GET_WHEEL_DELTA_WPARAM(m.WParam), m.Msg == WM_MOUSEHWHEEL);
            m.Result = 0;
            return;
        case WM_CONTEXTMENU: PlaceKeyboardContextMenu(m); break;
        case forms::CM_CHILDHANDLECREATED:
            // Whoever asked for it, a cell's window is given back once the cell is far out of view.
            if (auto* cell = dynamic_cast<TThumbnail*>(reinterpret_cast<forms::TWinControl*>(m.WParam));
                cell != nullptr && cell->Parent() == this && std::find(windowedCells_.begin(), windowedCells_.end(), cell) == windowedCells_.end())
                windowedCells_.push_back(cell);
            break;
        default: break;
    }
    TBaseThumbView::WndProc(m);
    if (m.Msg == WM_PAINT && !painted_) {
        // The first paint scans the folder again; one painted during a scan is being scanned.
        painted_ = true;
        if (!busy_) SetDirectory(directory_);
    }
}

}  // namespace controls
