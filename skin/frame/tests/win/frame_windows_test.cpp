#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "forms/gdi_handle.h"
#include "skin/controls/control_skin_list.h"
#include "skin/frame/tests/win/caption_buttons_skin.h"
#include "skin/frame/tests/win/frame_fixture.h"
#include "tools/skin_pack/bmp_writer.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin::frame_tests {
namespace {

using forms::TForm;

// One window of the table: how it is made, and what the frame must then look like.
struct WindowCase {
    const char* what;
    forms::TFormBorderStyle border;
    forms::TBorderIcons icons;
    bool owned;
    bool stayOnTop;
    int frameKind;
    bool keepsCaption;             // owned windows keep WS_CAPTION
    std::vector<int> buttons;      // actions of the caption buttons shown
};

const WindowCase kWindows[] = {
    {"sizable unowned (the main window)", forms::bsSizeable, forms::biSystemMenu | forms::biMinimize | forms::biMaximize, false,
     false, kFrameSizable, false, {0, 1, 2}},
    {"fixed owned without title-bar buttons (processing)", forms::bsDialog, 0, true, false, kFrameDialog, true, {}},
    {"fixed without a system menu, on top (the burn window)", forms::bsSingle, forms::biMinimize, false, true, kFrameFixed,
     false, {}},
    {"dialog frame with a system menu", forms::bsDialog, forms::biSystemMenu, false, false, kFrameDialog, false, {0}},
    {"popup without caption", forms::bsNone, 0, false, false, kFramePopup, false, {}},
};

struct Made {
    std::unique_ptr<TForm> owner;
    TForm* form = nullptr;
    std::unique_ptr<TForm> unowned;
};

Made Make(const WindowCase& c) {
    Made m;
    if (c.owned) {
        m.owner = std::make_unique<TForm>(nullptr);
        m.owner->SetBounds(40, 40, 500, 400);
        m.owner->Show();
        m.form = new TForm(m.owner.get());
    } else {
        m.unowned = std::make_unique<TForm>(nullptr);
        m.form = m.unowned.get();
    }
    m.form->SetBorderStyle(c.border);
    m.form->SetBorderIcons(c.icons);
    if (c.stayOnTop) m.form->SetFormStyle(forms::fsStayOnTop);
    m.form->SetText("Frames");
    m.form->SetBounds(120, 100, 360, 240);
    m.form->Show();
    Settle();
    return m;
}

TEST(FrameWindows, EachKindOfWindowGetsTheFrameItsKindAllows) {
    ASSERT_EQ(FramePaintErrors(), 0);
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(c.what);
        Made m = Make(c);
        HWND wnd = m.form->Handle();
        const SIZE client = ClientSize(wnd);
        const auto styleBefore = static_cast<DWORD>(GetWindowLongPtrA(wnd, GWL_STYLE));
        TSkinForm* skin = AttachTo(*m.form, Probe());
        EXPECT_EQ(skin->FrameKind(), c.frameKind);
        EXPECT_EQ(SendMessageA(wnd, kMsgSkinnedQuery, 0, 0), 1);
        EXPECT_TRUE(SameSize(ClientSize(wnd), client)) << ClientSize(wnd).cx << "x" << ClientSize(wnd).cy;
        const auto style = static_cast<DWORD>(GetWindowLongPtrA(wnd, GWL_STYLE));
        EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, c.keepsCaption && (styleBefore & WS_CAPTION) == WS_CAPTION);
        // An owned window keeps its caption and loses its boxes; others lose the caption only.
        const DWORD boxes = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        EXPECT_EQ(style & boxes, c.owned ? 0u : styleBefore & boxes);
        if (c.frameKind == kFramePopup) {
            m.unowned.reset();
            m.owner.reset();
            continue;
        }
        const RECT borders = skin->Borders();
        POINT origin{0, 0};
        ClientToScreen(wnd, &origin);
        const RECT window = WindowRect(wnd);
        EXPECT_EQ(origin.x - window.left, borders.left);
        EXPECT_EQ(origin.y - window.top, borders.top);

        RedrawFrame(wnd);
        const int w = window.right - window.left, h = window.bottom - window.top;
        EXPECT_EQ(WindowPixel(wnd, borders.left / 2, h / 2), probe::k_left[0]);
        EXPECT_EQ(WindowPixel(wnd, w - borders.right / 2 - 1, h / 2), probe::k_right[0]);
        EXPECT_EQ(WindowPixel(wnd, w / 2, h - borders.bottom / 2 - 1), probe::k_bottom[0]);
        EXPECT_EQ(WindowPixel(wnd, w / 2, 1), probe::k_top[0]);

        std::vector<int> shown;
        for (const auto& b : skin->SysButtons()) {
            if (b->element->Align == 100) continue;
            const POINT centre = ButtonCentre(*b);
            if (b->visible) {
                shown.push_back(b->element->Action);
                const std::uint32_t* colours = b->element->Action == 0 ? probe::k_close : b->element->Action == 1 ? probe::k_max : probe::k_min;
                EXPECT_EQ(WindowPixel(wnd, centre.x, centre.y), colours[0]) << "action " << b->element->Action;
            }
        }
        EXPECT_EQ(shown, c.buttons);
        // Where a hidden close button would sit, the title shows.
        if (std::find(c.buttons.begin(), c.buttons.end(), 0) == c.buttons.end())
            EXPECT_EQ(WindowPixel(wnd, w - 24 + 9, 4 + 9), probe::k_top[0]);
        m.unowned.reset();
        m.owner.reset();
        Settle();
    }
    EXPECT_EQ(FramePaintErrors(), 0);
    EXPECT_TRUE(SkinManage().FormSkins().empty());
}

TEST(FrameWindows, ARawDialogWithALongCaptionIsWidenedAndItsChildrenMoveRight) {
    const std::wstring caption = L"A dialog caption far too long for so small a dialog window";
    std::vector<WORD> t = DialogTemplate(caption.c_str());
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()), nullptr,
                                          PlainDialog, 0);
    ASSERT_NE(dlg, nullptr);
    Settle();
    HWND button = GetDlgItem(dlg, IDOK);
    RECT buttonBefore{};
    GetWindowRect(button, &buttonBefore);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&buttonBefore), 2);
    const SIZE client = ClientSize(dlg);
    {
        auto skin = AttachToWindow(dlg, Probe());
        EXPECT_EQ(skin->FrameKind(), kFrameDialog);
        EXPECT_EQ(SendMessageW(dlg, kMsgSkinnedQuery, 0, 0), 1);
        const SIZE now = ClientSize(dlg);
        EXPECT_EQ(now.cy, client.cy);
        ASSERT_GT(now.cx, client.cx) << "the caption did not widen the dialog";
        RECT buttonAfter{};
        GetWindowRect(button, &buttonAfter);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&buttonAfter), 2);
        EXPECT_EQ(buttonAfter.left - buttonBefore.left, (now.cx - client.cx) / 2);
        EXPECT_EQ(buttonAfter.top, buttonBefore.top);
        // The icon and system-menu buttons never show on a dialog frame; close does.
        for (const auto& b : skin->SysButtons()) {
            const int action = b->element->Action;
            if (action == 3 || action == 11 || action == 12) EXPECT_FALSE(b->visible);
            if (action == 0) EXPECT_TRUE(b->visible);
        }
        ASSERT_NE(skin->ControlSkins(), nullptr);
        EXPECT_NE(skin->ControlSkins()->FindByHandle(button), nullptr);
        DestroyWindow(dlg);
        EXPECT_EQ(skin->Phase(), kPhaseDestroyed);
        EXPECT_EQ(skin->ControlSkins(), nullptr) << "the control skins outlived the window";
    }
    EXPECT_EQ(FramePaintErrors(), 0);
}

// A message box inside its own modal loop: skinned when it activates, checked and closed from
// a timer of the loop.
struct BoxRun {
    HWND box = nullptr;
    std::unique_ptr<TSkinForm> skin;
    SIZE clientBefore{}, clientAfter{};
    LRESULT skinned = 0;
    bool checked = false;
    std::uint32_t leftPixel = 0;
    int leftWidth = 0;
};
BoxRun* boxRun = nullptr;
HHOOK boxHook = nullptr;

LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && boxRun != nullptr && boxRun->box == nullptr) {
        char name[32] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        if (std::string(name) == "#32770") boxRun->box = reinterpret_cast<HWND>(wParam);
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

void CALLBACK BoxTimer(HWND, UINT, UINT_PTR id, DWORD) {
    BoxRun& run = *boxRun;
    if (run.box == nullptr || !IsWindowVisible(run.box)) return;
    if (!run.skin) {
        run.clientBefore = ClientSize(run.box);
        run.skin = std::make_unique<TSkinForm>(nullptr);
        run.skin->SetWindow(run.box);
        run.skin->InitSkin(&Probe());
        PostMessageA(run.box, kMsgAttachControls, 0, 1000);
        return;
    }
    if (run.skin->Phase() != kPhaseReady) return;
    run.clientAfter = ClientSize(run.box);
    run.skinned = SendMessageA(run.box, kMsgSkinnedQuery, 0, 0);
    SendMessageA(run.box, kMsgRepaintFrame, 0, 0);
    run.leftWidth = run.skin->Borders().left;
    run.leftPixel = WindowPixel(run.box, run.leftWidth / 2, (WindowRect(run.box).bottom - WindowRect(run.box).top) / 2);
    run.checked = true;
    KillTimer(nullptr, id);
    PostMessageA(run.box, WM_COMMAND, IDOK, 0);
}

TEST(FrameWindows, AMessageBoxInItsOwnModalLoopTakesTheFrame) {
    BoxRun run;
    boxRun = &run;
    boxHook = SetWindowsHookExA(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, BoxTimer);
    const int answer = MessageBoxA(nullptr, "Skinned while it waits", "Message", MB_OK);
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(boxHook);
    boxRun = nullptr;
    EXPECT_EQ(answer, IDOK);
    ASSERT_TRUE(run.checked) << "the box was never skinned";
    EXPECT_EQ(run.skinned, 1);
    EXPECT_EQ(run.clientAfter.cy, run.clientBefore.cy);
    EXPECT_GE(run.clientAfter.cx, run.clientBefore.cx);
    EXPECT_EQ(run.leftPixel, probe::k_left[0]);
    EXPECT_EQ(run.skin->Phase(), kPhaseDestroyed) << "the box went without the form skin seeing it";
    run.skin.reset();
    EXPECT_EQ(FramePaintErrors(), 0);
}

// A skin with one icon button at the left of its title bar, made for the test: flat borders,
// no system buttons of its own.
std::vector<std::uint8_t> IconButtonSkin() {
    using Bytes = std::vector<std::uint8_t>;
    const auto flat = [](int w, int h, std::uint32_t rgb) {
        return skin_pack::Bmp24Bytes(skin_pack::Rgb24Picture{w, h, std::vector<std::uint32_t>(static_cast<size_t>(w * h), rgb)});
    };
    const std::string ini =
        "[Personality]\r\nLeft=side.bmp\r\nLeftFrame=1\r\nLeftTrans=0\r\nRight=side.bmp\r\nRightFrame=1\r\nRightTrans=0\r\n"
        "Top=top.bmp\r\nTopFrame=1\r\nTopTrans=0\r\nBottom=bottom.bmp\r\nBottomFrame=1\r\nBottomTrans=0\r\n"
        "[Button.Icon]\r\nAction=3\r\nAlign=0\r\nXcoord=6\r\nYcoord=4\r\nVisibility=0\r\n"
        "[Colours]\r\nButtonFace=200 200 200\r\n";
    const std::vector<skin_pack::SkinEntry> entries = {{"skin.ini", Bytes(ini.begin(), ini.end())},
                                                       {"side.bmp", flat(4, 40, 0x404040)},
                                                       {"top.bmp", flat(40, 24, 0x606060)},
                                                       {"bottom.bmp", flat(40, 4, 0x404040)}};
    return skin_pack::PackSkinStream(skin_pack::ArchiveBytes(entries));
}

std::unique_ptr<TSkinData> LoadStream(const std::vector<std::uint8_t>& stream) {
    auto data = std::make_unique<TSkinData>(nullptr);
    data->SkinStream().WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
    EXPECT_TRUE(data->LoadSkin());
    return data;
}

// A small icon of one colour, 0xRRGGBB.
forms::UniqueIcon SolidIcon(std::uint32_t rgb) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    HDC screen = GetDC(nullptr);
    forms::UniqueBitmap colour(CreateCompatibleBitmap(screen, size, size));
    {
        forms::UniqueMemoryDC dc(CreateCompatibleDC(screen));
        HGDIOBJ old = SelectObject(dc.get(), colour.get());
        forms::UniqueBrush brush(CreateSolidBrush(RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF)));
        const RECT all{0, 0, size, size};
        FillRect(dc.get(), &all, brush.get());
        SelectObject(dc.get(), old);
    }
    ReleaseDC(nullptr, screen);
    const std::vector<std::uint8_t> opaque(static_cast<size_t>(size * size), 0);
    forms::UniqueBitmap mask(CreateBitmap(size, size, 1, 1, opaque.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    return forms::UniqueIcon(CreateIconIndirect(&info));
}

// Icon buttons show the window's own icon; a window without one shows the skin's default icon,
// which the first skinned window with an icon gives it, or else the default icon of the
// whole-application skin data.
TEST(FrameWindows, IconButtonsShowTheWindowsIconOrTheDefaultOne) {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "FrameTestNoIconClass";
        return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    const forms::UniqueIcon red = SolidIcon(0xE01010), green = SolidIcon(0x10C020);
    // What the icon button of a window made with this icon (or none) and skinned with data shows;
    // 0 when it is not shown.
    const auto shown = [](TSkinData& data, HICON icon) -> std::uint32_t {
        forms::UniqueWindow wnd(CreateWindowExA(0, "FrameTestNoIconClass", "Icons", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200,
                                                300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        if (icon != nullptr) SendMessageA(wnd.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        auto skin = AttachToWindow(wnd.get(), data);
        RedrawFrame(wnd.get());
        const TWinSysButton* button = ButtonByAction(*skin, 3);
        EXPECT_NE(button, nullptr);
        if (button == nullptr || !button->visible) return 0;
        EXPECT_EQ(button->rect.left, 6);
        const POINT centre = ButtonCentre(*button);
        return WindowPixel(wnd.get(), centre.x, centre.y);
    };
    const std::vector<std::uint8_t> stream = IconButtonSkin();
    std::unique_ptr<TSkinData> first = LoadStream(stream);
    EXPECT_EQ(shown(*first, nullptr), 0u) << "no icon and no default yet";
    EXPECT_EQ(shown(*first, red.get()), 0xE01010u);
    EXPECT_EQ(shown(*first, nullptr), 0xE01010u) << "the default icon the first window gave";
    EXPECT_EQ(shown(*first, green.get()), 0x10C020u) << "a window's own icon before the default";

    std::unique_ptr<TSkinData> second = LoadStream(stream);
    std::vector<TSkinData*>& list = SkinManage().skinDataList;
    list.push_back(first.get());
    first->SkinFormtype = sfDialog;
    EXPECT_EQ(shown(*second, nullptr), 0u) << "a dialog data's default icon";
    first->SkinFormtype = sfMainform;
    EXPECT_EQ(shown(*second, nullptr), 0xE01010u) << "the whole-application data's default icon";
    std::erase(list, first.get());
    EXPECT_EQ(FramePaintErrors(), 0);
}

// The first column of the title strip where the caption "Wg" shows: the strip grabbed with
// the caption and without it.
int CaptionTextStart(HWND wnd, const TSkinForm& skin) {
    const RECT r = WindowRect(wnd);
    const int w = r.right - r.left, top = skin.Borders().top;
    const auto strip = [&](const char* text) {
        SetWindowTextA(wnd, text);
        RedrawFrame(wnd);
        Settle();
        std::vector<std::uint32_t> pixels(static_cast<size_t>(w * top));
        for (int y = 0; y < top; ++y)
            for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y * w + x)] = WindowPixel(wnd, x, y);
        return pixels;
    };
    const std::vector<std::uint32_t> with = strip("Wg"), without = strip("");
    SetWindowTextA(wnd, "Wg");
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < top; ++y)
            if (with[static_cast<size_t>(y * w + x)] != without[static_cast<size_t>(y * w + x)]) return x;
    return -1;
}

// In each shipped skin, and in one with an icon button: a sizable form's, a dialog form's and
// a message box's caption start inside the frame, the last two (which show no icon) no
// further left than the room the skin keeps for an icon, else where a form's starts.
TEST(FrameWindows, ACaptionsTextStartsInsideTheFrameInEverySkin) {
    std::vector<std::pair<std::string, std::unique_ptr<TSkinData>>> skins;
    for (int n = 0; n < 6; ++n) skins.emplace_back("skin " + std::to_string(n), LoadSkin(std::to_string(n)));
    skins.emplace_back("a skin with an icon button", CaptionButtonsSkin());
    for (auto& [name, data] : skins) {
        SCOPED_TRACE(name);
        const TDataSkinTitle* title = data->Elements().title.get();
        const bool leftAligned = title == nullptr || title->TextAlignment == 0;
        const auto formStart = [&](forms::TFormBorderStyle border) {
            TForm form(nullptr);
            form.SetBorderStyle(border);
            form.SetBounds(150, 120, 360, 200);
            form.Show();
            Settle();
            TSkinForm* skin = AttachTo(form, *data);
            const int start = CaptionTextStart(form.Handle(), *skin);
            EXPECT_GE(start, skin->Borders().left + 1) << "border style " << border;
            return start;
        };
        const int sizable = formStart(forms::bsSizeable);
        const int dialog = formStart(forms::bsDialog);
        // Where a dialog's caption may start: a form's margin, less an icon's room if the skin has one.
        const auto& buttons = data->Elements().captionButtons;
        const bool icon = std::any_of(buttons.begin(), buttons.end(), [](const auto& b) { return b->Action == 3; });
        const int least = icon ? 0 : sizable - 1;
        if (leftAligned) EXPECT_GE(dialog, least) << "a dialog form's caption starts left of a form's";
        const std::vector<WORD> t = DialogTemplate(L"Wg");
        HWND box = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(t.data()), nullptr,
                                              PlainDialog, 0);
        ASSERT_NE(box, nullptr);
        Settle();
        {
            std::unique_ptr<TSkinForm> skin = AttachToWindow(box, *data);
            ASSERT_EQ(skin->FrameKind(), kFrameDialog);
            const int start = CaptionTextStart(box, *skin);
            EXPECT_GE(start, skin->Borders().left + 1) << "message box";
            if (leftAligned) EXPECT_GE(start, least) << "a message box's caption starts left of a form's";
            skin->UnskinForm();
        }
        DestroyWindow(box);
        Settle();
    }
    EXPECT_EQ(FramePaintErrors(), 0);
}

}  // namespace

}  // namespace skin::frame_tests
