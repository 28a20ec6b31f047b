// Switching skinning on and off through the main skin data, and which windows the
// coordinator dresses with which data.
#include <memory>
#include <atomic>
#include <thread>

#include "forms/portable/streams.h"
#include "forms/subclass.h"
#include "skin/controls/control_skin_list.h"
#include "skin/manage/tests/win/coordinator_fixture.h"

namespace skin::manage_tests {
namespace {

using forms::TForm;

struct Switching : testing::Test {
    void SetUp() override {
        Program();
        if (Program().data->Active()) SwitchMain(false);
    }
    void TearDown() override {
        if (Program().data->Active()) SwitchMain(false);
        Settle();
        EXPECT_EQ(FramePaintErrors(), 0);
    }
    static std::unique_ptr<TForm> ShownForm(const char* caption, int x, int y) {
        auto form = std::make_unique<TForm>(nullptr);
        form->SetText(caption);
        form->SetBounds(x, y, 240, 160);
        form->Show();
        Settle();
        return form;
    }
};

TEST_F(Switching, OnSkinsTheShownFormOnceAndOffGivesItsStylesAndShapeBack) {
    MainProgram& p = Program();
    HWND wnd = p.form->Handle();
    ASSERT_EQ(Coordinator().MainData(), p.data);
    EXPECT_TRUE(Coordinator().HookInstalled());
    EXPECT_EQ(SendMessageA(wnd, kMsgSkinnedQuery, 0, 0), 0);
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    ASSERT_NE(style & WS_CAPTION, 0);
    EXPECT_FALSE(HasRegion(wnd));

    const int before = p.skinChanged;
    p.data->SetActive(true);
    EXPECT_EQ(SendMessageA(wnd, kMsgSkinnedQuery, 0, 0), 0) << "the request waits for the timer";
    ASSERT_TRUE(PumpUntil([&] { return Skinned(wnd); }, 2000));
    Settle();
    EXPECT_EQ(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_TRUE(HasRegion(wnd));
    PumpUntil([] { return false; }, 400);
    EXPECT_EQ(p.skinChanged - before, 1);

    SwitchMain(false);
    EXPECT_EQ(GetWindowLongPtrA(wnd, GWL_STYLE), style);
    EXPECT_FALSE(HasRegion(wnd));
    EXPECT_TRUE(SkinManage().FormSkins().empty());
}

TEST_F(Switching, OffAndOnAgainWithinTheIntervalCarriesOutOneRequest) {
    MainProgram& p = Program();
    SwitchMain(true);
    TSkinForm* skin = SkinManage().FindFormSkin(p.form->Handle());
    ASSERT_NE(skin, nullptr);
    const int before = p.skinChanged;
    p.data->SetActive(false);
    p.data->SetActive(true);
    EXPECT_EQ(Coordinator().PendingRequest(), kRequestSkinAll);
    PumpUntil([] { return false; }, 700);
    EXPECT_EQ(p.skinChanged - before, 1);
    EXPECT_EQ(SkinManage().FindFormSkin(p.form->Handle()), skin) << "the form kept its skin throughout";
    EXPECT_TRUE(Skinned(p.form->Handle()));
}

TEST_F(Switching, AFormTaggedNinetyNineIsNeverSkinned) {
    MainProgram& p = Program();
    for (const int disableTag : {99, 5, 0}) {
        SCOPED_TRACE(disableTag);
        p.data->DisableTag = disableTag;
        auto tagged = ShownForm("Tagged", 420, 120);
        tagged->SetTag(99);
        auto plain = ShownForm("Plain", 420, 320);
        SwitchMain(true);
        EXPECT_TRUE(Skinned(plain->Handle()));
        EXPECT_FALSE(Skinned(tagged->Handle()));
        // Activated again after skinning: the hook leaves it alone too.
        SetForegroundWindow(tagged->Handle());
        Settle();
        EXPECT_FALSE(Skinned(tagged->Handle()));
        EXPECT_EQ(SkinManage().FindFormSkin(tagged->Handle()), nullptr);
        SwitchMain(false);
    }
    p.data->DisableTag = 99;
}

// A message box opened from a timer, so that it runs its modal loop under the message loop.
struct BoxProbe {
    static BoxProbe& Get() {
        static BoxProbe probe;
        return probe;
    }
    bool seen = false, skinned = false;
    TSkinData* data = nullptr;
    static void CALLBACK Open(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        TimerSteps::Begin([] {
            HWND box = FindWindowA("#32770", "Coordinator box");
            if (box == nullptr || !IsWindowVisible(box)) return false;
            BoxProbe& b = Get();
            b.seen = true;
            b.skinned = Skinned(box);
            TSkinForm* skin = SkinManage().FindFormSkin(box);
            b.data = skin != nullptr ? skin->SkinData() : nullptr;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        });
        MessageBoxA(Program().form->Handle(), "Skinned inside its own loop?", "Coordinator box", MB_OK);
    }
};

TEST_F(Switching, AMessageBoxIsSkinnedInsideItsLoopWithTheDialogDataWhenThereIsOne) {
    MainProgram& p = Program();
    SwitchMain(true);
    for (const bool withDialogData : {false, true}) {
        SCOPED_TRACE(withDialogData);
        std::unique_ptr<TSkinData> dialogs;
        if (withDialogData) {
            dialogs = std::make_unique<TSkinData>(nullptr);
            {
                forms::TLoadingScope loading(*dialogs);
                dialogs->SkinFormtype = sfDialog;
                dialogs->SetSkinFile(SkinPath("probe2"));
            }
        }
        BoxProbe::Get() = BoxProbe{};
        SetTimer(nullptr, 0, 20, &BoxProbe::Open);
        ASSERT_TRUE(PumpUntil([] { return BoxProbe::Get().seen && !TimerSteps::Running(); }, 5000));
        Settle();
        EXPECT_TRUE(BoxProbe::Get().skinned);
        EXPECT_EQ(BoxProbe::Get().data, withDialogData ? dialogs.get() : p.data);
        dialogs.reset();
        Settle();
    }
}

TEST_F(Switching, AWindowOfAnotherThreadIsNeverSkinned) {
    SwitchMain(true);
    std::atomic<int> answer{-1};
    std::atomic<bool> made{false};
    HWND other = nullptr;
    std::thread worker([&] {
        HWND wnd = CreateWindowExA(0, "STATIC", "Worker", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 420, 200, 200,
                                   120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        other = wnd;
        SetForegroundWindow(wnd);
        SetActiveWindow(wnd);
        made = true;
        const DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < 700) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(5);
        }
        answer = static_cast<int>(SendMessageA(wnd, kMsgSkinnedQuery, 0, 0));
        DestroyWindow(wnd);
    });
    // Meanwhile this thread's loop runs a skin-all request too.
    PumpUntil([&] { return made.load(); }, 2000);
    const int before = Program().skinChanged;
    Coordinator().SetPendingData(Program().data);
    Coordinator().Request(kRequestSkinAll, kRequestInterval);
    PumpUntil([&] { return Program().skinChanged > before; }, 2000);
    worker.join();
    EXPECT_EQ(answer.load(), 0);
    EXPECT_EQ(SkinManage().FindFormSkin(other), nullptr);
}

TEST_F(Switching, ASizeGripMadeOnASkinnedWindowTakesItsSkin) {
    MainProgram& p = Program();
    SwitchMain(true);
    TSkinForm* skin = SkinManage().FindFormSkin(p.form->Handle());
    ASSERT_NE(skin, nullptr);
    RECT client{};
    GetClientRect(p.form->Handle(), &client);
    HWND grip = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, client.right - 16,
                                client.bottom - 16, 16, 16, p.form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(Skinned(grip));
    ASSERT_NE(skin->ControlSkins(), nullptr);
    EXPECT_NE(skin->ControlSkins()->FindByHandle(grip), nullptr);
    DestroyWindow(grip);
    Settle();
}

// A skin read at run time replaces the elements the form skins point into: they re-read them
// at once, before anything paints.
TEST_F(Switching, AFormSkinNeverPointsIntoElementsALoadReplaced) {
    MainProgram& p = Program();
    SwitchMain(true);
    TSkinForm* skin = SkinManage().FindFormSkin(p.form->Handle());
    ASSERT_NE(skin, nullptr);
    ASSERT_FALSE(skin->SysButtons().empty());
    forms::TMemoryStream file, stored;
    file.LoadFromFile(SkinPath("probe2"));
    const auto count = static_cast<std::int32_t>(file.Size());
    stored.WriteBuffer(&count, 4);
    stored.WriteBuffer(file.Memory(), count);
    stored.SetPosition(0);
    p.data->ReadSkinStream(stored);
    ASSERT_FALSE(p.data->NoSkin());
    const auto& elements = p.data->Elements().captionButtons;
    for (const auto& button : skin->SysButtons()) {
        ASSERT_LT(static_cast<size_t>(button->index), elements.size());
        EXPECT_EQ(button->element, elements[static_cast<size_t>(button->index)].get());
    }
    RedrawWindow(p.form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    p.data->SetSkinFile(SkinPath("probe"));
    Settle();
}

TEST_F(Switching, ARejectedSkinStreamLeavesActiveOffAfterLoading) {
    auto form = std::make_unique<TForm>(nullptr);
    TSkinData* data = nullptr;
    {
        forms::TLoadingScope loading(*form);
        data = new TSkinData(form.get());
        forms::TMemoryStream stored;
        const std::int32_t count = 64;
        stored.WriteBuffer(&count, 4);
        const std::string junk(64, 'x');
        stored.WriteBuffer(junk.data(), 64);
        stored.SetPosition(0);
        data->ReadSkinStream(stored);
        data->SetActive(true);
        EXPECT_TRUE(data->Active()) << "stored while the form is read";
    }
    EXPECT_TRUE(data->NoSkin());
    EXPECT_FALSE(data->Active());
    data->SetActive(true);
    EXPECT_FALSE(Coordinator().TimerRunning()) << "no skin: switching on asks for nothing";
    form.reset();
    EXPECT_EQ(Coordinator().ChooseSkinData(Program().form->Handle()), Program().data) << "unregistered with its form";
}

TEST_F(Switching, ASkinChangeRecoloursEverySkinnedFormOnce) {
    MainProgram& p = Program();
    auto second = ShownForm("Second", 420, 120);
    auto third = ShownForm("Third", 420, 320);
    SwitchMain(true);
    TForm* forms[] = {p.form, second.get(), third.get()};
    int recolours[3] = {};
    std::vector<std::unique_ptr<forms::WindowProcHook>> hooks;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Skinned(forms[i]->Handle()));
        hooks.push_back(std::make_unique<forms::WindowProcHook>(
            *forms[i], [&recolours, i](forms::TMessage& m, const forms::WindowProcHook::Next& next) {
                if (m.Msg == kMsgRecolour) ++recolours[i];
                next(m);
            }));
    }
    const int before = p.skinChanged;
    p.data->SetSkinFile(SkinPath("probe2"));
    ASSERT_FALSE(p.data->NoSkin());
    ASSERT_TRUE(PumpUntil([&] { return p.skinChanged > before; }, 2000));
    Settle();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(recolours[i], 1);
        EXPECT_EQ(forms[i]->Color(), static_cast<forms::TColor>(p.data->Elements().colours.ButtonFace));
        HWND wnd = forms[i]->Handle();
        SendMessageA(wnd, kMsgRepaintFrame, 0, 0);
        RECT r{};
        GetWindowRect(wnd, &r);
        EXPECT_EQ(WindowPixel(wnd, 2, (r.bottom - r.top) / 2), probe2::k_left[0]);
    }
    hooks.clear();
    p.data->SetSkinFile(SkinPath("probe"));
    PumpUntil([&] { return p.skinChanged > before + 1; }, 2000);
}

// Last in its process: a data for one form sets the coordinator's active flag for good.
TEST_F(Switching, AFormWithItsOwnDataIsDressedWithItAndGivenBackWhenTheDataGoes) {
    MainProgram& p = Program();
    auto form = std::make_unique<TForm>(nullptr);
    TSkinData* own = nullptr;
    {
        forms::TLoadingScope loading(*form);
        own = new TSkinData(form.get());
        own->SkinFormtype = sfOnlyThisForm;
        own->SetSkinFile(SkinPath("probe2"));
    }
    form->SetText("Own skin");
    form->SetBounds(420, 160, 240, 160);
    const LONG_PTR style = GetWindowLongPtrA(form->Handle(), GWL_STYLE);
    form->Show();
    HWND wnd = form->Handle();
    ASSERT_TRUE(PumpUntil([&] { return Skinned(wnd) || (SetForegroundWindow(wnd), false); }, 2000));
    TSkinForm* skin = SkinManage().FindFormSkin(wnd);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->SkinData(), own);
    EXPECT_EQ(Coordinator().ChooseSkinData(wnd), own);
    EXPECT_EQ(Coordinator().ChooseSkinData(p.form->Handle()), p.data);
    // The data goes before its form: nothing may paint from it afterwards.
    delete own;
    Settle();
    EXPECT_FALSE(Skinned(wnd));
    EXPECT_EQ(SkinManage().FindFormSkin(wnd), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(wnd, GWL_STYLE) & ~WS_VISIBLE, style & ~WS_VISIBLE);
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    form.reset();
    Settle();
}

}  // namespace
}  // namespace skin::manage_tests
