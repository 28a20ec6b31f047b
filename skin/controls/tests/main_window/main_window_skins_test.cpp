// vantrell's real main window under a form skin, its controls skinned through the form skin:
// what a user sees on each wizard page, checked, and grabbed for a reviewer.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "controls/thumb_cell.h"
#include "editor/galleries_page.h"
#include "editor/main_form.h"
#include "editor/record_page.h"
#include "forms/application.h"
#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/check_box.h"
#include "forms/group_box.h"
#include "forms/label.h"
#include "forms/page_control.h"
#include "forms/portable/jpeg_codec.h"
#include "forms/portable/pixels.h"
#include "forms/portable/properties.h"
#include "skin/controls/combo_skins.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/scroll_skins.h"
#include "skin/frame/skin_form.h"
#include "skin/skin_data.h"
#include "skins/probe_colours.h"
#include "tests/support/process_driver.h"
#include "tools/skin_pack/png_writer.h"

namespace skin {
namespace {

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        if (!forms::Application->ProcessMessage()) Sleep(1);
    }
    return true;
}

std::unique_ptr<TSkinData> LoadSkin(const std::string& stem) {
    auto data = std::make_unique<TSkinData>(nullptr);
    data->SetSkinFile(std::string(SKIN_ARTIFACTS_WIN) + "/skin-" + stem + ".skin");
    EXPECT_FALSE(data->NoSkin()) << stem;
    return data;
}

// The window's pixels as the screen shows them, as the platform writes colours (0x00BBGGRR).
skin_pack::Rgb24Picture Grab(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    forms::TBitmap bitmap(w, h, forms::pf24bit);
    HDC dc = GetWindowDC(wnd);
    BitBlt(bitmap.Canvas()->Handle(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
    skin_pack::Rgb24Picture picture{w, h, std::vector<std::uint32_t>(static_cast<size_t>(w) * h)};
    const forms::PixelView view = bitmap.Pixels();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = view.pixel(x, y);
            picture.pixels[static_cast<size_t>(y) * w + x] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
        }
    return picture;
}

void WritePng(const std::string& name, const skin_pack::Rgb24Picture& picture) {
    const std::vector<std::uint8_t> bytes = skin_pack::PngBytes(picture);
    std::ofstream out(std::string(SKIN_ARTIFACTS_WIN) + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << name;
}

// The colour most of a control's own pixels have (its children's left out).
std::uint32_t CommonColour(forms::TWinControl& control) {
    HWND wnd = control.WindowHandle();
    const skin_pack::Rgb24Picture picture = Grab(wnd);
    RECT window{};
    GetWindowRect(wnd, &window);
    std::vector<RECT> children;
    for (HWND child = GetWindow(wnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        if (!IsWindowVisible(child)) continue;
        GetWindowRect(child, &r);
        OffsetRect(&r, -window.left, -window.top);
        children.push_back(r);
    }
    std::map<std::uint32_t, int> counts;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const POINT p{x, y};
            bool covered = false;
            for (const RECT& r : children) covered = covered || PtInRect(&r, p);
            if (!covered) ++counts[picture.pixels[static_cast<size_t>(y) * picture.width + x]];
        }
    std::uint32_t best = 0;
    int most = -1;
    for (const auto& [colour, count] : counts)
        if (count > most) {
            best = colour;
            most = count;
        }
    return best;
}

class MainWindowSkins : public testing::Test {
protected:
    void Open(TSkinData& data) {
        form_ = std::make_unique<editor::TForm1>(nullptr, folder_.Path());
        forms::Application->SetMainForm(form_.get());
        form_->Show();
        forms::Application->ProcessMessages();
        skin_ = new TSkinForm(form_.get());
        skin_->AttachForm(&data, form_.get());
        PostMessageA(form_->Handle(), kMsgAttachControls, 0, 1000);
        ASSERT_TRUE(PumpUntil([&] { return skin_->Phase() == kPhaseReady && skin_->ControlSkins() != nullptr; }));
        Settle();
    }
    void ShowPage(int index) {
        form_->PageControl1->SetActivePageIndex(index);
        Settle();
    }
    static void Settle() {
        for (int i = 0; i < 5; ++i) forms::Application->ProcessMessages();
        GdiFlush();
    }
    void TearDown() override {
        forms::Application->SetMainForm(nullptr);
        form_.reset();
        forms::Application->ProcessMessages();
        forms::Application->ResetTerminated();
    }

    testsupport::TempFolder folder_;
    std::unique_ptr<editor::TForm1> form_;
    TSkinForm* skin_ = nullptr;
};

// Reads the open popup menu from a timer of its modal loop: the first row is selected with a
// key, its colour read back at the row's left, then the menu is closed.
struct OpenPopupRow {
    static inline HMENU menu = nullptr;
    static inline int step = 0;
    static inline std::uint32_t colour = 0;
    static inline int ticks = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (++ticks > 100) {  // the menu never showed its row: give up rather than hang
            KillTimer(nullptr, id);
            EndMenu();
            return;
        }
        HWND window = FindWindowA("#32768", nullptr);
        if (window == nullptr || !IsWindowVisible(window)) return;
        if (step == 0) {
            PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
            step = 1;
            return;
        }
        if ((GetMenuState(menu, 0, MF_BYPOSITION) & MF_HILITE) == 0) return;
        RECT row{};
        GetMenuItemRect(nullptr, menu, 0, &row);
        HDC dc = GetDC(nullptr);
        const COLORREF c = GetPixel(dc, row.left + 4, (row.top + row.bottom) / 2);
        ReleaseDC(nullptr, dc);
        colour = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        KillTimer(nullptr, id);
        EndMenu();
    }
};

// The galleries page's popup menu (shown through the form library's popup window) opens with
// rows drawn from the skin's MenuItem: the selected row shows its frame 4.
TEST_F(MainWindowSkins, TheGalleriesPopupMenuIsDrawnFromTheSkin) {
    std::unique_ptr<TSkinData> data = LoadSkin("probe");
    Open(*data);
    ShowPage(1);
    forms::TPopupMenu* popup = form_->Galleries->PopupMenu1;
    EXPECT_TRUE(popup->OwnerDraw());
    OpenPopupRow::menu = popup->Handle();
    OpenPopupRow::step = 0;
    OpenPopupRow::colour = 0;
    OpenPopupRow::ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, OpenPopupRow::Tick);
    RECT r{};
    GetWindowRect(form_->Handle(), &r);
    popup->Popup(r.left + 60, r.top + 80);
    KillTimer(nullptr, timer);
    Settle();
    EXPECT_EQ(OpenPopupRow::colour, probe::k_menuitem[3]);
}

// Add on a record page makes the name box again in its adding style: the box keeps its skin
// on the new window, with its edit child hooked (its focused frame) and, where the box shows
// its list, that list's skinned scroll bars.
TEST_F(MainWindowSkins, TheNameBoxKeepsItsSkinAfterAdd) {
    std::unique_ptr<TSkinData> data = LoadSkin("probe");
    Open(*data);
    for (editor::RecordPage* page : {form_->WorkHistory.get(), form_->Photographers.get()}) {
        ShowPage(page == form_->WorkHistory.get() ? 2 : 3);
        const HWND before = page->NameBox->Handle();
        page->AddButton->Click();
        Settle();
        HWND box = page->NameBox->Handle();
        ASSERT_NE(box, before) << "Add made no new window";
        SCOPED_TRACE(page->NameBox->Name());
        const auto* combo = dynamic_cast<const TSkinComBox*>(skin_->ControlSkins()->FindByHandle(box));
        ASSERT_NE(combo, nullptr) << "the name box lost its skin";
        EXPECT_EQ(combo->EditChild(), page->NameBox->Style() == forms::csSimple ? nullptr : GetWindow(box, GW_CHILD));
        if (page->NameBox->Style() == forms::csSimple) {
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            ASSERT_TRUE(GetComboBoxInfo(box, &info));
            const TSkinControl* bars = skin_->ControlSkins()->FindByHandle(info.hwndList);
            ASSERT_NE(bars, nullptr) << "the list lost its skinned scroll bars";
            EXPECT_EQ(bars->LifeState(), kLifeAttached);
        }
    }
}

// On every page: labels, check boxes and group boxes stand on the skin's face, and no overlay
// covers anything but its own control.
TEST_F(MainWindowSkins, ControlsStandOnTheSkinsFace) {
    std::unique_ptr<TSkinData> data = LoadSkin("probe");
    Open(*data);
    const COLORREF face = forms::ColorToRGB(static_cast<forms::TColor>(data->Elements().colours.ButtonFace));
    for (int page = 0; page < form_->PageControl1->PageCount(); ++page) {
        ShowPage(page);
        SCOPED_TRACE(form_->PageControl1->Pages(page)->Caption());
        for (forms::TComponent* c : form_->ComponentList()) {
            auto* control = dynamic_cast<forms::TWinControl*>(c);
            if (control == nullptr || !control->Showing() || !control->HandleAllocated()) continue;
            const bool kind = dynamic_cast<forms::TCustomLabel*>(c) != nullptr || dynamic_cast<forms::TCustomCheckBox*>(c) != nullptr ||
                              dynamic_cast<forms::TCustomGroupBox*>(c) != nullptr;
            if (!kind) continue;
            EXPECT_EQ(CommonColour(*control), face) << control->Name();
        }
        for (TSkinControl* s : skin_->ControlSkins()->Skins()) {
            auto* scroll = dynamic_cast<TSkinScrollbar*>(s);
            if (scroll == nullptr) continue;
            RECT host{};
            GetWindowRect(scroll->Handle(), &host);
            for (TWScrollbar* bar : {scroll->Horizontal(), scroll->Vertical()}) {
                if (bar == nullptr || !IsWindowVisible(bar->Handle())) continue;
                RECT r{};
                GetWindowRect(bar->Handle(), &r);
                EXPECT_TRUE(r.left >= host.left && r.top >= host.top && r.right <= host.right && r.bottom <= host.bottom)
                    << "an overlay outside " << (scroll->Control() != nullptr ? scroll->Control()->Name() : "?");
            }
        }
    }
}

// Unskinned, the biography page's group boxes take their page's own colour again at once,
// as they had it before: the skin's face does not stay on them.
TEST_F(MainWindowSkins, UnskinnedGroupBoxesAreTheirPagesColourAtOnce) {
    std::unique_ptr<TSkinData> data = LoadSkin("probe");
    Open(*data);
    ShowPage(0);
    skin_->UnskinForm();
    Settle();
    int boxes = 0;
    for (forms::TComponent* c : form_->ComponentList()) {
        auto* box = dynamic_cast<forms::TCustomGroupBox*>(c);
        if (box == nullptr || !box->Showing() || box->Parent() == nullptr) continue;
        ++boxes;
        EXPECT_EQ(box->Color(), box->Parent()->Color()) << box->Name();
        EXPECT_EQ(CommonColour(*box), CommonColour(*box->Parent())) << box->Name() << " painted plain";
    }
    EXPECT_GT(boxes, 0);
}

// The main window's controls of each kind get their skins through the form skin; the slider
// and the painted progress bars get none.
TEST_F(MainWindowSkins, EachKindOnTheMainWindowGetsItsSkin) {
    std::unique_ptr<TSkinData> data = LoadSkin("probe");
    Open(*data);
    std::map<std::string, std::string> skins;
    for (TSkinControl* s : skin_->ControlSkins()->Skins())
        if (const auto* owner = dynamic_cast<const forms::TComponent*>(s->Owner())) skins[owner->Name()] = s->SkinClassName();
    const struct {
        const char* control;
        const char* skin;
    } cases[] = {
        {"PageControl1", "TSkinTab"},      {"biography", "TSkinBox"},         {"NextButton", "TSkinButton"},
        {"CheckBox6", "TSkinCheckBox"},    {"DateTimePicker1", "TSkinComBox"}, {"RichEdit4", "TSkinScrollbar"},
        {"thumbView", "TSkinScrollbar"},   {"ComboBox13", "TSkinComBox"},     {"Memo1", "TSkinScrollbar"},
        {"Label63", ""},
    };
    for (const auto& c : cases) {
        ASSERT_NE(form_->FindComponent(c.control), nullptr) << c.control;
        const auto it = skins.find(c.control);
        EXPECT_EQ(it != skins.end() ? it->second : "", c.skin) << c.control;
    }
    for (forms::TComponent* c : form_->ComponentList()) {
        const std::string cls = c->ClassInfo().Name();
        if (cls == "TSlider" || cls == "TSpecialProgress") {
            EXPECT_EQ(skins.count(c->Name()), 0u) << c->Name();
        }
    }
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> Jpeg(int width, int height) {
    forms::PixelBuffer pixels(width, height, 3);
    forms::FillPixels(pixels.view(), 40, 120, 200);
    return forms::EncodeJpeg(pixels.view());
}

// The thumbnail view's cells are skinned as panels: those of the gallery shown at start as
// they come into view (a cell out of view has no window yet), and those a later gallery brings.
TEST_F(MainWindowSkins, ThumbnailCellsAreSkinnedAsPanels) {
    const struct {
        const char* gallery;
        int pictures;
    } galleries[] = {{"General", 9}, {"Swimwear", 2}};
    for (const auto& g : galleries) {
        const std::string folder = folder_.Path() + "Galleries\\" + g.gallery + "\\";
        CreateDirectoryA((folder_.Path() + "Galleries").c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int i = 0; i < g.pictures; ++i) {
            const std::string name = std::string(1, static_cast<char>('a' + i)) + ".jpg";
            WriteBytes(folder + "prv_" + name, Jpeg(834, 540));
            WriteBytes(folder + "thm_" + name, Jpeg(150, 91));
        }
    }
    std::unique_ptr<TSkinData> data = LoadSkin("probe");
    Open(*data);
    ShowPage(1);
    struct Count {
        int cells = 0, windows = 0, boxes = 0;
    };
    auto cellSkins = [&] {
        Count n;
        for (forms::TComponent* c : form_->Galleries->thumbView->ComponentList()) {
            auto* cell = dynamic_cast<controls::TThumbnail*>(c);
            if (cell == nullptr) continue;
            ++n.cells;
            if (!cell->HandleAllocated()) continue;
            ++n.windows;
            TSkinControl* skin = skin_->ControlSkins()->FindByHandle(cell->WindowHandle());
            if (skin != nullptr && std::string(skin->SkinClassName()) == "TSkinBox") ++n.boxes;
        }
        return n;
    };
    Settle();
    const Count first = cellSkins();
    EXPECT_EQ(first.cells, 9);
    EXPECT_GT(first.windows, 0);
    EXPECT_LT(first.windows, first.cells) << "the last cells are out of view";
    EXPECT_EQ(first.boxes, first.windows);
    // Down to the middle, then to the end: every cell has been in view and was skinned there.
    // Cells far out of view give their windows back, so each step counts the cells it shows.
    std::set<const controls::TThumbnail*> seenSkinned;
    for (const int position : {600, 100000}) {
        form_->Galleries->thumbView->VertScrollBar()->SetPosition(position);
        const bool settled = PumpUntil([&] { const Count n = cellSkins(); return n.windows > 0 && n.boxes == n.windows; });
        const Count now = cellSkins();
        ASSERT_TRUE(settled) << "at " << position << ": " << now.windows << " windows, " << now.boxes << " skinned";
        for (forms::TComponent* c : form_->Galleries->thumbView->ComponentList())
            if (auto* cell = dynamic_cast<controls::TThumbnail*>(c); cell != nullptr && cell->HandleAllocated()) seenSkinned.insert(cell);
    }
    EXPECT_EQ(seenSkinned.size(), 9u) << "every cell was skinned once it came into view";
    form_->Galleries->CategoryButtons[2]->Click();
    ASSERT_TRUE(PumpUntil([&] { const Count n = cellSkins(); return n.cells == 2 && n.boxes == 2; })) << "the new gallery's cells";
}

// Unskinning the window gives its controls their own look back: the pages and what stands on
// them their own colours, the buttons their own painting.
TEST_F(MainWindowSkins, UnskinningGivesTheControlsTheirOwnLookBack) {
    std::unique_ptr<TSkinData> data = LoadSkin("probe");
    form_ = std::make_unique<editor::TForm1>(nullptr, folder_.Path());
    forms::Application->SetMainForm(form_.get());
    form_->Show();
    Settle();
    auto* label = dynamic_cast<forms::TWinControl*>(form_->FindComponent("Label63"));
    auto* next = dynamic_cast<forms::TWinControl*>(form_->FindComponent("NextButton"));
    ASSERT_TRUE(label != nullptr && next != nullptr);
    const COLORREF ownLabel = CommonColour(*label);
    const COLORREF ownButton = CommonColour(*next);
    skin_ = new TSkinForm(form_.get());
    skin_->AttachForm(data.get(), form_.get());
    PostMessageA(form_->Handle(), kMsgAttachControls, 0, 1000);
    ASSERT_TRUE(PumpUntil([&] { return skin_->ControlSkins() != nullptr && !skin_->ControlSkins()->Skins().empty(); }));
    Settle();
    EXPECT_NE(CommonColour(*label), ownLabel);
    EXPECT_NE(CommonColour(*next), ownButton);
    skin_->UnskinForm();
    Settle();
    EXPECT_EQ(skin_->ControlSkins(), nullptr);
    EXPECT_EQ(CommonColour(*label), ownLabel);
    EXPECT_EQ(CommonColour(*next), ownButton);
}

// The reviewer's view: each skin on the main window, and every page under skin 0.
TEST_F(MainWindowSkins, GrabsForTheReviewer) {
    for (int n = 0; n < 6; ++n) {
        std::unique_ptr<TSkinData> data = LoadSkin(std::to_string(n));
        Open(*data);
        WritePng("main-" + std::to_string(n) + ".png", Grab(form_->Handle()));
        if (n == 0) {
            for (int page = 0; page < form_->PageControl1->PageCount(); ++page) {
                ShowPage(page);
                std::string name = form_->PageControl1->Pages(page)->Name();
                WritePng("pages-" + name + ".png", Grab(form_->Handle()));
            }
        }
        TearDown();
    }
}

}  // namespace
}  // namespace skin
