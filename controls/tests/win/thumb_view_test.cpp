#include "controls/thumb_view.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "controls/tests/win/thumb_fixtures.h"
#include "forms/application.h"
#include "forms/form.h"
#include "forms/menus.h"

namespace controls {
namespace {

using namespace forms;
using thumbtest::Bytes;
using Log = std::vector<std::string>;

struct ThumbViewTest : testing::Test {
    testsupport::TempFolder folder;
    TForm form{nullptr};
    TThumbView* view = nullptr;
    Log log;

    void SetUp() override {
        form.SetBounds(40, 40, 400, 600);
        view = new TThumbView(&form);
        thumbtest::SetUpAsTheGalleriesPage(*view, form, 193, 513, "Thumbnails|thm_*.jpg|Thumbnails|thm_*.jpeg");
    }
    void Write(const std::string& name, const Bytes& bytes) { thumbtest::WriteBytes(folder.Path() + name, bytes); }
    void WritePictures(const std::vector<std::string>& names) {
        const Bytes jpeg = thumbtest::MakeJpeg(60, 40);
        for (const auto& n : names) Write(n, jpeg);
    }
    void LogScan() {
        view->OnStartScanning = [this](TObject* s, int max) {
            EXPECT_EQ(s, view);
            log.push_back("start " + std::to_string(max));
        };
        view->OnScanProgress = [this](TObject*, int pos, bool&) { log.push_back("progress " + std::to_string(pos)); };
        view->OnStopScanning = [this](TObject*) { log.push_back("stop"); };
    }
    void LogSelection() {
        view->OnChanging = [this](TObject*) { log.push_back("changing " + std::to_string(view->Selected())); };
        view->OnChange = [this](TObject*) { log.push_back("change " + std::to_string(view->Selected())); };
        view->OnClick = [this](TObject* s) {
            EXPECT_EQ(s, view);
            log.push_back("click " + std::to_string(view->Selected()));
        };
    }
    // The view's first paint rescans; get it out of the way.
    void ShowPainted() {
        form.Show();
        RedrawWindow(view->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> t;
        for (int i = 0; i < view->Count(); ++i) t.push_back(FileNamePart(view->Thumbnail(i)->FileName()));
        return t;
    }
    std::string Dir() { return folder.Path().substr(0, folder.Path().size() - 1); }
    // Every cell where the grid puts it, as placing all cells from the first would.
    void ExpectCellsWhereTheGridPutsThem(const std::string& name) {
        ThumbGrid g;
        g.scrollMode = view->ScrollMode();
        g.alignView = view->AlignView();
        g.cellWidth = view->CellWidth();
        g.cellHeight = view->CellHeight();
        g.gap = view->ThumbGap();
        g.viewWidth = view->Width();
        g.viewHeight = view->Height();
        g.lineCapacity = LineCapacity(g, view->Count());
        EXPECT_EQ(view->LineCapacity(), g.lineCapacity) << name;
        if (form.Visible()) {
            EXPECT_TRUE(IsWindowVisible(view->Handle())) << name << ": drawn again after the batch";
        }
        const int h = view->HorzScrollBar()->Position(), v = view->VertScrollBar()->Position();
        for (int i = 0; i < view->Count(); ++i) {
            const TThumbnail* cell = view->Thumbnail(i);
            EXPECT_EQ(cell->Left(), CellLeft(g, i + 1) - h) << name << " cell " << i;
            EXPECT_EQ(cell->Top(), CellTop(g, i + 1) - v) << name << " cell " << i;
            EXPECT_EQ(cell->Width(), g.cellWidth) << name << " cell " << i;
        }
    }
};

// Work in an event handler that takes longer than the scan's pause between message runs.
void OutlastAScanPause() {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start <= 150) {
    }
}

TEST_F(ThumbViewTest, ScanEventsInOrderThenTheFirstIsSelected) {
    WritePictures({"thm_b.jpg", "thm_a.jpg", "thm_c.jpeg", "other.jpg"});
    LogScan();
    view->SetDirectory(Dir());
    EXPECT_EQ(log, (Log{"start 2", "progress 1", "progress 2", "progress 3", "stop"}));
    EXPECT_EQ(view->Count(), 3);
    EXPECT_EQ(view->Selected(), 0);
    EXPECT_EQ(view->SelectedFile(), folder.Path() + "thm_a.jpg");
    EXPECT_FALSE(view->Busy());
}

TEST_F(ThumbViewTest, ScannedCellsDecodeReducedForTheirBoxAsWellAsForTheFileSize) {
    // Small files of large pictures: the box (150 x 150) allows 1/8 of 2400 x 2400 and 1/4 of
    // 1200 x 1200; a small picture in a large file keeps its file size's reduction.
    Write("thm_a.jpg", thumbtest::MakeJpeg(2400, 2400, 1, 50));
    Write("thm_b.jpg", thumbtest::MakeJpeg(1200, 1200, 2, 50));
    Write("thm_c.jpg", thumbtest::PadJpeg(thumbtest::MakeJpeg(200, 200, 3), 4'000'001));
    Write("thm_d.jpg", thumbtest::MakeJpeg(100, 100, 4));
    view->SetDirectory(Dir());
    ASSERT_EQ(Titles(), (std::vector<std::string>{"thm_a.jpg", "thm_b.jpg", "thm_c.jpg", "thm_d.jpg"}));
    const int expected[] = {8, 4, 4, 1};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(view->Thumbnail(i)->Image()->LastJpegScale(), expected[i]) << i;
}

// A scanned cell knows its own file's size, times and name as a search of its name would
// tell, not another file's.
TEST_F(ThumbViewTest, ScannedCellsKnowTheirOwnFiles) {
    const Bytes jpeg = thumbtest::MakeJpeg(40, 30);
    for (int i = 0; i < 5; ++i) {
        const std::string name = "thm_" + std::to_string(i) + ".jpg";
        Write(name, thumbtest::PadJpeg(jpeg, 3000 + 111 * static_cast<std::uint64_t>(i)));
        thumbtest::SetWriteDay(folder.Path() + name, static_cast<WORD>(2001 + i), static_cast<WORD>(1 + i), 10);
    }
    view->SetDirectory(Dir());
    ASSERT_EQ(view->Count(), 5);
    for (int i = 0; i < 5; ++i) {
        const TThumbnail* cell = view->Thumbnail(i);
        const std::string path = folder.Path() + "thm_" + std::to_string(i) + ".jpg";
        TThumbnail searched(nullptr);
        searched.SetFileName(path);
        EXPECT_EQ(cell->FileName(), path);
        EXPECT_EQ(cell->FileSize(), 3000 + 111 * i) << i;
        EXPECT_EQ(cell->FileChanged(), searched.FileChanged()) << i;
        EXPECT_EQ(cell->FileCreated(), searched.FileCreated()) << i;
        if (i > 0) {
            EXPECT_NE(cell->FileChanged(), view->Thumbnail(i - 1)->FileChanged()) << i;
        }
    }
}

TEST_F(ThumbViewTest, StopMissingFolderAndEmptyDirectory) {
    WritePictures({"thm_a.jpg", "thm_b.jpg"});
    LogScan();
    view->OnScanProgress = [this](TObject*, int pos, bool& stop) {
        log.push_back("progress " + std::to_string(pos));
        stop = true;
    };
    view->SetDirectory(Dir());
    EXPECT_EQ(log, (Log{"start 1", "progress 1", "stop"}));
    EXPECT_EQ(view->Count(), 0);
    EXPECT_EQ(view->Selected(), -1);

    log.clear();
    view->SetDirectory(folder.Path() + "no such folder");
    EXPECT_EQ(log, (Log{"start -1", "stop"}));

    view->OnScanProgress = nullptr;
    view->SetDirectory(Dir());
    ASSERT_EQ(view->Count(), 2);
    log.clear();
    view->SetDirectory("");
    EXPECT_EQ(view->Count(), 0);
    EXPECT_EQ(log, Log{});
}

TEST_F(ThumbViewTest, SortedAndUnsortedListings) {
    // Each mask's files in the file system's order; a file two masks match appears once.
    view->SetFilter("A|thm_*.jpeg|B|*.jpeg;thm_z*");
    WritePictures({"thm_z.jpeg", "thm_m.jpeg", "a.jpeg", "thm_zz.jpg"});
    view->SetDirectory(Dir());
    EXPECT_EQ(Titles(), (std::vector<std::string>{"a.jpeg", "thm_m.jpeg", "thm_z.jpeg", "thm_zz.jpg"}));
    ShowPainted();
    view->SetSorted(false);  // after the first paint: rescans at once
    std::vector<std::string> unsorted = Titles();
    ASSERT_EQ(unsorted.size(), 4u);
    // The first mask's two files come first, then the rest in mask order.
    EXPECT_TRUE((unsorted[0] == "thm_z.jpeg" && unsorted[1] == "thm_m.jpeg") ||
                (unsorted[0] == "thm_m.jpeg" && unsorted[1] == "thm_z.jpeg"));
    EXPECT_EQ(unsorted[2], "a.jpeg");
    EXPECT_EQ(unsorted[3], "thm_zz.jpg");
}

TEST_F(ThumbViewTest, EditorLayoutAtBothSizes) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg", "thm_4.jpg"});
    view->SetDirectory(Dir());
    const struct {
        int size;
        std::vector<POINT> places;
    } cases[] = {
        {100, {{11, 4}, {11, 158}, {11, 312}}},
        {50, {{7, 4}, {89, 4}, {7, 83}, {89, 83}}},
    };
    for (const auto& c : cases) {
        view->SetSize(c.size);
        for (std::size_t i = 0; i < c.places.size(); ++i) {
            TThumbnail* cell = view->Thumbnail(static_cast<int>(i));
            EXPECT_EQ(cell->Left(), c.places[i].x) << c.size << " cell " << i;
            EXPECT_EQ(cell->Top(), c.places[i].y) << c.size << " cell " << i;
            EXPECT_EQ(cell->Width(), 150 * c.size / 100);
        }
    }
    // Out-of-range sizes are kept within 1..100; a zero gap with them divides by nothing.
    view->SetThumbGap(0);
    for (int size : {0, -50, 127, 200}) {
        view->SetSize(size);
        EXPECT_GE(view->Size(), 1);
        EXPECT_LE(view->Size(), 100);
        EXPECT_GE(view->LineCapacity(), 1);
    }
}

TEST_F(ThumbViewTest, CellsStandWhereTheGridPutsThemAfterScansRemovalsAndResizes) {
    const Bytes jpeg = thumbtest::MakeJpeg(30, 20);
    for (int n : {7, 3, 12, 1, 9, 5, 11, 2, 8, 4, 10, 6}) Write("thm_" + std::to_string(100 + n) + ".jpg", jpeg);
    ShowPainted();
    const struct {
        TScrollMode mode;
        TViewType align;
        bool sorted;
        int size;
    } cases[] = {
        {smVertical, vtFitToScreen, true, 100},  {smVertical, vtCenter, false, 50}, {smHorizontal, vtNormal, true, 50},
        {smHorizontal, vtFitToScreen, false, 100}, {smBoth, vtNormal, true, 30},   {smBoth, vtCenter, false, 50},
    };
    for (const auto& c : cases) {
        const std::string name = "mode " + std::to_string(c.mode) + " align " + std::to_string(c.align) + " sorted " +
                                 std::to_string(c.sorted) + " size " + std::to_string(c.size);
        view->SetScrollMode(c.mode);
        view->SetAlignView(c.align);
        view->SetSize(c.size);
        view->SetSorted(c.sorted);
        view->SetDirectory(Dir());
        ASSERT_EQ(view->Count(), 12) << name;
        ExpectCellsWhereTheGridPutsThem(name + " after the scan");
        view->VertScrollBar()->SetPosition(130);
        view->HorzScrollBar()->SetPosition(90);
        view->DeleteItem(4);
        ExpectCellsWhereTheGridPutsThem(name + " after a removal");
        view->SetSize(c.size == 100 ? 40 : 100);
        ExpectCellsWhereTheGridPutsThem(name + " at another size");
        view->SetBounds(0, 0, 333, 400);
        ExpectCellsWhereTheGridPutsThem(name + " in a resized view");
        view->SetBounds(0, 0, 193, 513);
    }
}

// Each cell in view has a window of its own where it stands, and a click on it selects it;
// a cell out of view has none until a scroll, a resize, a new size or a new view window
// brings it into view, and gives it back once more than a view's height away.
TEST_F(ThumbViewTest, CellsHaveWindowsOnceTheyComeIntoView) {
    std::vector<std::string> names;
    for (int i = 0; i < 14; ++i) names.push_back("thm_" + std::to_string(100 + i) + ".jpg");
    WritePictures(names);
    view->SetDirectory(Dir());
    ShowPainted();
    ASSERT_EQ(view->Count(), 14);
    std::vector<bool> hadWindow(14, false);
    auto check = [&](const std::string& step) {
        const RECT client = view->ClientRect();
        int inView = 0;
        for (int i = 0; i < view->Count(); ++i) {
            TThumbnail* cell = view->Thumbnail(i);
            const bool shown = cell->Left() < client.right && cell->Left() + cell->Width() > 0 && cell->Top() < client.bottom &&
                               cell->Top() + cell->Height() > 0;
            // A window made stays while its cell is within a view's height of the view; none is
            // made for a cell never seen.
            const bool kept = cell->Top() < 2 * client.bottom && cell->Top() + cell->Height() > -client.bottom;
            EXPECT_EQ(cell->HandleAllocated(), shown || (hadWindow[i] && kept)) << step << " cell " << i;
            hadWindow[i] = cell->HandleAllocated();
            if (!shown) continue;
            ++inView;
            const POINT middle{cell->Left() + cell->Width() / 2, cell->Top() + cell->Height() / 2};
            if (middle.y < 0 || middle.y >= client.bottom) continue;
            EXPECT_EQ(ChildWindowFromPointEx(view->Handle(), middle, CWP_SKIPINVISIBLE), cell->WindowHandle())
                << step << " cell " << i;
            view->SetSelected(-1);
            SendMessageA(cell->WindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell->Width() / 2, cell->Height() / 2));
            SendMessageA(cell->WindowHandle(), WM_LBUTTONUP, 0, MAKELPARAM(cell->Width() / 2, cell->Height() / 2));
            EXPECT_EQ(view->Selected(), i) << step;
        }
        EXPECT_GT(inView, 0) << step;
    };
    check("after the scan");
    EXPECT_FALSE(view->Thumbnail(13)->HandleAllocated()) << "the last cell is far below the view";
    view->VertScrollBar()->SetPosition(700);
    check("scrolled by the bar");
    SendMessageA(view->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-3 * WHEEL_DELTA)), 0);
    check("scrolled by the wheel");
    view->SetSize(50);
    check("at half size");
    view->SetBounds(0, 0, 193, 580);
    check("in a taller view");
    view->VertScrollBar()->SetPosition(100000);
    check("at the end");
    EXPECT_TRUE(view->Thumbnail(13)->HandleAllocated());
    view->RecreateWnd();
    std::fill(hadWindow.begin(), hadWindow.end(), false);
    check("in a new window of the view");
}

TEST_F(ThumbViewTest, HugeMaxSizesAreClampedSoThatCellsStillFollowEachOther) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg"});
    view->SetMaxWidth(INT_MAX);
    view->SetMaxHeight(INT_MAX);
    EXPECT_EQ(view->MaxWidth(), kMaxCellExtent);
    EXPECT_EQ(view->MaxHeight(), kMaxCellExtent);
    view->SetDirectory(Dir());
    ASSERT_EQ(view->Count(), 3);
    for (int i = 1; i < 3; ++i) EXPECT_GT(view->Thumbnail(i)->Top(), view->Thumbnail(i - 1)->Top()) << i;
    EXPECT_GE(view->Thumbnail(0)->Top(), 0);
    EXPECT_GT(view->VertScrollBar()->Range(), 2 * kMaxCellExtent);
}

TEST_F(ThumbViewTest, SortsNamesAsTheLanguageDoes) {
    WritePictures({"thm_fay.jpg", "thm_\xE9l\xE9na.jpg", "thm_Elise.jpg", "thm_anna.jpg", "thm_zoe.jpg"});
    view->SetDirectory(Dir());
    EXPECT_EQ(Titles(), (std::vector<std::string>{"thm_anna.jpg", "thm_\xE9l\xE9na.jpg", "thm_Elise.jpg", "thm_fay.jpg",
                                                  "thm_zoe.jpg"}));
    EXPECT_EQ(view->Thumbnails()[1], "thm_\xE9l\xE9na.jpg");
}

// A window that runs an action when the scan lets a posted message through.
struct ScanDriver {
    TForm window{nullptr};
    std::function<void()> action;
    bool ran = false;
    ScanDriver() {
        window.WindowProc = [this, inner = window.WindowProc](TMessage& m) {
            if (m.Msg == WM_APP) {
                ran = true;
                if (action) action();
                return;
            }
            inner(m);
        };
    }
    void PostDuringTheScan() {
        PostMessageA(window.Handle(), WM_APP, 0, 0);
        OutlastAScanPause();
    }
};

TEST_F(ThumbViewTest, MessagesRunDuringAScanAndCannotUpsetIt) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg", "thm_4.jpg"});
    testsupport::TempFolder other;
    thumbtest::WriteBytes(other.Path() + "thm_x.jpg", thumbtest::MakeJpeg(20, 20));
    const std::vector<std::string> all = {"thm_1.jpg", "thm_2.jpg", "thm_3.jpg", "thm_4.jpg"};
    const Log whole = {"start 3", "progress 1", "progress 2", "progress 3", "progress 4", "stop"};
    const Log cut = {"start 3", "progress 1", "progress 2", "stop"};
    bool stopAsked = false;
    const struct {
        const char* name;
        std::function<void()> during;
        std::vector<std::string> titles;
        Log events;
        std::string directory;
    } cases[] = {
        // The user chose another folder: this scan ends, that one follows.
        {"another folder", [&] { view->SetDirectory(other.Path()); }, {"thm_x.jpg"},
         {"start 3", "progress 1", "progress 2", "stop", "start 0", "progress 1", "stop"}, other.Path()},
        {"no folder", [&] { view->SetDirectory(""); }, {}, cut, ""},
        {"the same folder", [&] { view->SetDirectory(Dir()); }, all,
         {"start 3", "progress 1", "progress 2", "stop", "start 3", "progress 1", "progress 2", "progress 3", "progress 4", "stop"},
         Dir()},
        {"delete a cell", [&] { view->DeleteItem(0); }, {"thm_2.jpg", "thm_3.jpg", "thm_4.jpg"}, whole, Dir()},
        {"Stop", [&] { stopAsked = true; }, {"thm_1.jpg", "thm_2.jpg"}, {"start 3", "progress 1", "progress 2", "progress 3", "stop"},
         Dir()},
        {"a new size", [&] { view->SetSize(50); }, all, whole, Dir()},
    };
    for (const auto& c : cases) {
        view->SetSize(100);
        ScanDriver driver;
        bool busyMeanwhile = false;
        driver.action = [&] {
            busyMeanwhile = view->Busy();
            c.during();
        };
        stopAsked = false;
        log.clear();
        LogScan();
        bool posted = false;
        view->OnScanProgress = [&](TObject*, int pos, bool& stop) {
            log.push_back("progress " + std::to_string(pos));
            if (stopAsked) stop = true;
            if (pos == 2 && !posted) {
                posted = true;
                driver.PostDuringTheScan();
            }
        };
        view->SetDirectory(Dir());
        EXPECT_TRUE(driver.ran) << c.name << ": the message ran during the scan";
        EXPECT_TRUE(busyMeanwhile) << c.name;
        EXPECT_EQ(log, c.events) << c.name;
        EXPECT_EQ(Titles(), c.titles) << c.name;
        EXPECT_EQ(view->Directory(), c.directory) << c.name;
        EXPECT_FALSE(view->Busy()) << c.name;
        EXPECT_EQ(view->Selected(), c.titles.empty() ? -1 : 0) << c.name;
        ExpectCellsWhereTheGridPutsThem(c.name);
    }
}

// Set when the window that owns it goes.
struct GoneFlag : TComponent {
    bool* gone;
    GoneFlag(TComponent* owner, bool* g) : TComponent(owner), gone(g) {}
    ~GoneFlag() override { *gone = true; }
};

TEST_F(ThumbViewTest, AWindowFreedDuringAScanEndsTheScanQuietly) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg", "thm_4.jpg"});
    auto* host = new TForm(nullptr);
    host->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    bool gone = false;
    new GoneFlag(host, &gone);
    auto* hosted = new TThumbView(host);
    hosted->SetParent(host);
    hosted->SetFilter("*.jpg");
    hosted->OnStartScanning = [&](TObject*, int) { log.push_back("start"); };
    hosted->OnStopScanning = [&](TObject*) { log.push_back("stop"); };
    hosted->OnScanProgress = [&](TObject*, int pos, bool&) {
        log.push_back("progress " + std::to_string(pos));
        if (pos == 2) {
            PostMessageA(host->Handle(), WM_CLOSE, 0, 0);
            OutlastAScanPause();
        }
    };
    hosted->SetDirectory(Dir());
    EXPECT_TRUE(gone) << "the window closed and was freed during the scan";
    EXPECT_EQ(log, (Log{"start", "progress 1", "progress 2"})) << "nothing more of a view that is gone";
}

TEST_F(ThumbViewTest, ClicksReachTheViewInItsOwnCoordinates) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg"});
    view->SetDirectory(Dir());
    ShowPainted();
    std::vector<POINT> downs;
    view->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { downs.push_back({x, y}); };
    LogSelection();
    TThumbnail* second = view->Thumbnail(1);
    TThumbImage* image = second->Image();
    // A real button press on the second cell's picture, in the picture's coordinates.
    const POINT inCell{image->Left() + 5, image->Top() + 6};
    SendMessageA(second->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inCell.x, inCell.y));
    SendMessageA(second->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(inCell.x, inCell.y));
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].x, 5 + image->Left() + second->Left());
    EXPECT_EQ(downs[0].y, 6 + image->Top() + second->Top());
    EXPECT_EQ(view->Selected(), 1);
    EXPECT_EQ(log, (Log{"changing 0", "change 1", "click 1"}));

    // At half size a click at x 80 lies on cell 0 but maps to the second column: no selection.
    view->SetSize(50);
    log.clear();
    SendMessageA(view->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 10));
    SendMessageA(view->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(80, 10));
    EXPECT_EQ(view->Selected(), -1);
    EXPECT_EQ(log, (Log{"changing 1", "change -1", "click -1"}));
}

// Records where it was asked to open instead of tracking a real menu.
class RecordingMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override { opened.push_back({x, y}); }
    std::vector<POINT> opened;
};

TEST_F(ThumbViewTest, TheWheelOverACellOrItsTitleScrollsTheView) {
    view->SetTitlePlacement(tpUp);
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg", "thm_4.jpg", "thm_5.jpg"});
    view->SetDirectory(Dir());
    ShowPainted();
    TThumbnail* cell = view->Thumbnail(0);
    const POINT over = view->ClientToScreen(POINT{cell->Left() + 20, cell->Top() + 20});
    const struct {
        const char* part;
        HWND window;
        int delta;
        int position;
    } cases[] = {
        {"cell", cell->Handle(), -WHEEL_DELTA, WHEEL_DELTA},
        {"title", cell->Strip()->Handle(), -WHEEL_DELTA, 2 * WHEEL_DELTA},
        {"title up", cell->Strip()->Handle(), WHEEL_DELTA, WHEEL_DELTA},
        {"view", view->Handle(), WHEEL_DELTA, 0},
    };
    for (const auto& c : cases) {
        SendMessageA(c.window, WM_MOUSEWHEEL, MAKEWPARAM(0, c.delta), MAKELPARAM(over.x, over.y));
        EXPECT_EQ(view->VertScrollBar()->Position(), c.position) << c.part;
    }
}

TEST_F(ThumbViewTest, ARightClickOnAnyPartOfACellOpensTheViewsMenuThere) {
    view->SetTitlePlacement(tpUp);
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg"});
    view->SetDirectory(Dir());
    auto* menu = new RecordingMenu(&form);
    view->SetPopupMenu(menu);
    ShowPainted();
    TThumbnail* cell = view->Thumbnail(1);
    TThumbImage* image = cell->Image();
    const struct {
        const char* part;
        HWND window;
        POINT at;       // in the window's client coordinates
        POINT screen;
    } cases[] = {
        {"picture", cell->Handle(), {image->Left() + 4, image->Top() + 4},
         cell->ClientToScreen(POINT{image->Left() + 4, image->Top() + 4})},
        {"title", cell->Strip()->Handle(), {6, 5}, cell->Strip()->ClientToScreen(POINT{6, 5})},
        {"cell", cell->Handle(), {3, cell->Height() - 4}, cell->ClientToScreen(POINT{3, cell->Height() - 4})},
    };
    for (const auto& c : cases) {
        view->SetSelected(0);
        menu->opened.clear();
        PostMessageA(c.window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(c.at.x, c.at.y));
        PostMessageA(c.window, WM_RBUTTONUP, 0, MAKELPARAM(c.at.x, c.at.y));
        Application->ProcessMessages();
        ASSERT_EQ(menu->opened.size(), 1u) << c.part;
        EXPECT_EQ(menu->opened[0].x, c.screen.x) << c.part;
        EXPECT_EQ(menu->opened[0].y, c.screen.y) << c.part;
        EXPECT_EQ(menu->PopupComponent(), view) << c.part;
        EXPECT_EQ(view->Selected(), 1) << c.part << ": the button went down on the cell";
    }
    delete menu;
    EXPECT_EQ(view->PopupMenu(), nullptr) << "the view still hears of components that go";
}

TEST_F(ThumbViewTest, TheMenuKeyAndShiftF10OpenTheMenuAtTheSelectedCell) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg", "thm_4.jpg", "thm_5.jpg"});
    view->SetDirectory(Dir());
    auto* menu = new RecordingMenu(&form);
    view->SetPopupMenu(menu);
    ShowPainted();
    SetForegroundWindow(form.Handle());
    view->SetFocus();
    Application->ProcessMessages();
    ASSERT_EQ(GetFocus(), view->Handle());
    auto setShift = [](bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    };
    const struct {
        const char* name;
        WORD key;
        UINT down, up;
        bool shift;
        int selected;
        std::size_t opens;
    } cases[] = {
        {"menu key", VK_APPS, WM_KEYDOWN, WM_KEYUP, false, 1, 1},
        {"Shift+F10", VK_F10, WM_SYSKEYDOWN, WM_SYSKEYUP, true, 4, 1},  // below the view: scrolled in
    };
    for (const auto& c : cases) {
        view->SetSelected(c.selected);
        menu->opened.clear();
        setShift(c.shift);
        PostMessageA(view->Handle(), c.down, c.key, 1);
        PostMessageA(view->Handle(), c.up, c.key, 1 | (1u << 30) | (1u << 31));
        Application->ProcessMessages();
        setShift(false);
        ASSERT_EQ(menu->opened.size(), c.opens) << c.name;
        if (c.opens == 0) continue;
        TThumbnail* cell = view->Thumbnail(c.selected);
        const POINT centre = view->ClientToScreen(POINT{cell->Left() + cell->Width() / 2, cell->Top() + cell->Height() / 2});
        EXPECT_EQ(menu->opened[0].x, centre.x) << c.name;
        EXPECT_EQ(menu->opened[0].y, centre.y) << c.name;
        EXPECT_GE(cell->Top(), 0) << c.name << ": the cell is in view";
        EXPECT_LE(cell->Top() + cell->Height() / 2, view->Height()) << c.name;
    }
}

TEST_F(ThumbViewTest, SelectingAnOffScreenCellClicksAndScrollsItHalfIn) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg", "thm_4.jpg", "thm_5.jpg"});
    view->SetDirectory(Dir());
    ShowPainted();
    LogSelection();
    view->SetSelected(1);  // visible
    EXPECT_EQ(log, (Log{"changing 0", "change 1"}));
    log.clear();
    view->SetSelected(3);  // Top 466: its lower part is below the view
    EXPECT_EQ(log, Log{"click 3"});
    EXPECT_EQ(view->Selected(), 3);
    TThumbnail* cell = view->Thumbnail(3);
    EXPECT_EQ(cell->Top() + cell->Height() / 2 + cell->Height(), view->Height()) << "half its height inside";
    EXPECT_EQ(cell->TitleColor(), clHighlight);
    EXPECT_EQ(view->Thumbnail(1)->TitleColor(), view->Thumbnail(1)->Color());
}

TEST_F(ThumbViewTest, SelectedOutOfRangeRaisesBeforeAnyCellChanges) {
    WritePictures({"thm_1.jpg", "thm_2.jpg"});
    view->SetDirectory(Dir());
    LogSelection();
    for (int bad : {2, 99, -2}) {
        EXPECT_THROW(view->SetSelected(bad), EListError) << bad;
        EXPECT_EQ(view->Selected(), 0);
        EXPECT_EQ(view->Thumbnail(0)->TitleColor(), clHighlight) << "the old selection still shows";
    }
    EXPECT_EQ(log, Log{});
}

TEST_F(ThumbViewTest, KeysMoveTheSelection) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg", "thm_4.jpg", "thm_5.jpg"});
    view->SetDirectory(Dir());
    view->SetSize(50);  // two per row
    ShowPainted();
    SetForegroundWindow(form.Handle());
    view->SetFocus();
    Application->ProcessMessages();
    ASSERT_EQ(GetFocus(), view->Handle());
    std::vector<int> keysSeen;
    view->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keysSeen.push_back(key); };
    auto press = [](WORD key) {
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageA(GetFocus(), WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
        Application->ProcessMessages();
    };
    const struct {
        WORD key;
        int selected;
    } steps[] = {{VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_DOWN, 4}, {VK_RIGHT, 4}, {VK_DOWN, 4},
                 {VK_UP, 2},    {VK_LEFT, 1},  {VK_HOME, 0}, {VK_LEFT, 0},  {VK_END, 4}, {VK_NEXT, 4}};
    for (const auto& s : steps) {
        press(s.key);
        EXPECT_EQ(view->Selected(), s.selected) << "key " << s.key;
        EXPECT_EQ(GetFocus(), view->Handle()) << "arrows stay with the view, key " << s.key;
    }
    EXPECT_EQ(keysSeen.size(), std::size(steps));
    view->SetAutoHandleKeyb(false);
    press(VK_HOME);
    EXPECT_EQ(view->Selected(), 4);
}

TEST_F(ThumbViewTest, SelectedFile) {
    WritePictures({"thm_a.jpg", "thm_b.jpg", "thm_c.jpg"});
    EXPECT_EQ(view->SelectedFile(), "");
    LogScan();
    view->SetSelectedFile(folder.Path() + "thm_c.jpg");
    EXPECT_EQ(view->Selected(), 2);
    EXPECT_EQ(view->SelectedFile(), folder.Path() + "thm_c.jpg");
    log.clear();
    // Names compare exactly: another letter case rescans and leaves cell 0 selected.
    view->SetSelectedFile(folder.Path() + "THM_B.JPG");
    EXPECT_EQ(log.front(), "start 2");
    EXPECT_EQ(view->Selected(), 0);
}

TEST_F(ThumbViewTest, DeleteItem) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg"});
    view->SetDirectory(Dir());
    for (int outside : {3, 100, -1}) {
        view->DeleteItem(outside);
        EXPECT_EQ(view->Count(), 3) << outside;
    }
    view->SetSelected(1);
    view->DeleteItem(1);
    EXPECT_EQ(view->Count(), 2);
    EXPECT_EQ(view->Selected(), -1);
    EXPECT_EQ(view->Thumbnail(1)->Top(), 158) << "the next cell moved up";
    EXPECT_EQ(view->SelectedFile(), "");
}

TEST_F(ThumbViewTest, CellsRemovedFromAScanEventGoWhenTheScanEnds) {
    const Bytes jpeg = thumbtest::MakeJpeg(60, 40);
    Write("thm_1.jpg", jpeg);
    Write("thm_2.jpeg", Bytes(100, 0x21));  // not a picture: reported through OnInvalidImage
    Write("thm_3.jpg", jpeg);
    LogScan();
    view->OnInvalidImage = [this](TObject* sender, const std::string& name) {
        log.push_back("invalid " + FileNamePart(name));
        auto* image = dynamic_cast<TThumbImage*>(sender);
        ASSERT_NE(image, nullptr);
        // The editor drops the cell of the failed picture.
        const int index = view->Thumbnails().IndexOfObject(image->Parent());
        view->DeleteItem(index);
        EXPECT_EQ(view->Count(), index + 1) << "still there while the scan runs";
    };
    view->SetDirectory(Dir());
    EXPECT_EQ(log, (Log{"start 2", "progress 1", "progress 2", "invalid thm_2.jpeg", "progress 3", "stop"}));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"thm_1.jpg", "thm_3.jpg"}));
    EXPECT_EQ(view->Selected(), 0);
}

TEST_F(ThumbViewTest, TheFirstPaintScansAgain) {
    WritePictures({"thm_1.jpg"});
    LogScan();
    view->SetDirectory(Dir());
    ShowPainted();
    EXPECT_EQ(log, (Log{"start 0", "progress 1", "stop", "start 0", "progress 1", "stop"}));
    ShowPainted();
    EXPECT_EQ(log.size(), 6u);
}

TEST_F(ThumbViewTest, ASetDirectoryFromInsideAScanOnlyClearsTheSelection) {
    WritePictures({"thm_1.jpg", "thm_2.jpg"});
    view->SetDirectory(Dir());
    ASSERT_EQ(view->Selected(), 0);
    LogScan();
    view->OnScanProgress = [this](TObject*, int pos, bool&) {
        log.push_back("progress " + std::to_string(pos));
        if (pos == 1) view->SetDirectory("");
    };
    view->SetDirectory(Dir());
    EXPECT_EQ(log, (Log{"start 1", "progress 1", "progress 2", "stop"}));
    EXPECT_EQ(view->Count(), 2);
}

TEST_F(ThumbViewTest, AnExceptionInAScanEventKeepsTheCellsAndEndsTheScan) {
    WritePictures({"thm_1.jpg", "thm_2.jpg", "thm_3.jpg"});
    view->SetCursor(crCross);
    view->OnScanProgress = [](TObject*, int pos, bool&) {
        if (pos == 3) throw EAbort("stop here");
    };
    EXPECT_THROW(view->SetDirectory(Dir()), EAbort);
    EXPECT_EQ(view->Count(), 2);
    EXPECT_FALSE(view->Busy());
    EXPECT_EQ(view->Cursor(), crCross);
    view->OnScanProgress = nullptr;
    view->SetDirectory(Dir());
    EXPECT_EQ(view->Count(), 3);
}

}  // namespace
}  // namespace controls
