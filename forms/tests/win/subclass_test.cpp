#include "forms/subclass.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/gdi_handle.h"
#include "forms/panel.h"

namespace forms {
namespace {

constexpr UINT kProbe = WM_APP + 7;
std::vector<std::string>* log_ = nullptr;
std::wstring lastWideText;

LRESULT CALLBACK NarrowOriginal(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == kProbe) {
        if (log_ != nullptr) log_->push_back("original");
        return 42;
    }
    return DefWindowProcA(wnd, msg, w, l);
}

LRESULT CALLBACK WideOriginal(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_SETTEXT) lastWideText = reinterpret_cast<const wchar_t*>(l);
    return DefWindowProcW(wnd, msg, w, l);
}

UniqueWindow NarrowWindow() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = NarrowOriginal;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SubclassTestNarrow";
        return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return UniqueWindow(CreateWindowExA(0, "SubclassTestNarrow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr));
}

SubclassHandler Logging(std::string name) {
    return [name](HWND, UINT msg, WPARAM w, LPARAM l, const SubclassNext& next) {
        if (msg == kProbe && log_ != nullptr) log_->push_back(name);
        return next(msg, w, l);
    };
}

LONG_PTR Procedure(HWND wnd) { return GetWindowLongPtrA(wnd, GWLP_WNDPROC); }

struct Subclassing : testing::Test {
    std::vector<std::string> log;
    void SetUp() override { log_ = &log; }
    void TearDown() override { log_ = nullptr; }
    std::vector<std::string> Probe(HWND wnd) {
        log.clear();
        EXPECT_EQ(SendMessageA(wnd, kProbe, 0, 0), 42);
        return log;
    }
};

TEST_F(Subclassing, HandlersRemovedInAnyOrderKeepTheChainAndTheLastPutsTheOriginalBack) {
    UniqueWindow wnd = NarrowWindow();
    const LONG_PTR original = Procedure(wnd.get());
    auto a = std::make_unique<WindowSubclass>(wnd.get(), Logging("a"));
    auto b = std::make_unique<WindowSubclass>(wnd.get(), Logging("b"));
    auto c = std::make_unique<WindowSubclass>(wnd.get(), Logging("c"));
    EXPECT_EQ(Probe(wnd.get()), (std::vector<std::string>{"c", "b", "a", "original"}));
    b.reset();
    EXPECT_EQ(Probe(wnd.get()), (std::vector<std::string>{"c", "a", "original"}));
    a.reset();
    EXPECT_EQ(Probe(wnd.get()), (std::vector<std::string>{"c", "original"}));
    EXPECT_NE(Procedure(wnd.get()), original);
    c.reset();
    EXPECT_EQ(Procedure(wnd.get()), original);
    EXPECT_EQ(Probe(wnd.get()), (std::vector<std::string>{"original"}));
}

WNDPROC foreignPrevious = nullptr;
LRESULT CALLBACK Foreign(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == kProbe && log_ != nullptr) log_->push_back("foreign");
    return CallWindowProcA(foreignPrevious, wnd, msg, w, l);
}

TEST_F(Subclassing, ALaterForeignSubclassKeepsAPassThroughBelowIt) {
    UniqueWindow wnd = NarrowWindow();
    auto ours = std::make_unique<WindowSubclass>(wnd.get(), Logging("ours"));
    foreignPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Foreign)));
    ours.reset();
    EXPECT_EQ(Procedure(wnd.get()), reinterpret_cast<LONG_PTR>(&Foreign)) << "the later subclass was cut out";
    EXPECT_EQ(Probe(wnd.get()), (std::vector<std::string>{"foreign", "original"}));
    // Ours again on top, then the window goes while both are in place.
    auto again = std::make_unique<WindowSubclass>(wnd.get(), Logging("again"));
    EXPECT_EQ(Probe(wnd.get()), (std::vector<std::string>{"foreign", "again", "original"}));
    wnd.reset();
    EXPECT_FALSE(again->Attached());
    again.reset();
}

TEST_F(Subclassing, AWideWindowStaysWideAndItsTextsArriveWide) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WideOriginal;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SubclassTestWide";
    RegisterClassW(&wc);
    UniqueWindow wnd(CreateWindowExW(0, L"SubclassTestWide", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(IsWindowUnicode(wnd.get()));
    std::wstring seen;
    {
        WindowSubclass hook(wnd.get(), [&](HWND, UINT msg, WPARAM w, LPARAM l, const SubclassNext& next) {
            if (msg == WM_SETTEXT) seen = reinterpret_cast<const wchar_t*>(l);
            return next(msg, w, l);
        });
        EXPECT_TRUE(hook.Unicode());
        EXPECT_TRUE(IsWindowUnicode(wnd.get())) << "a narrow procedure call turned the window narrow";
        SendMessageW(wnd.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u00e9t\u00e9 \u0416"));
        EXPECT_EQ(seen, L"\u00e9t\u00e9 \u0416");
        EXPECT_EQ(lastWideText, L"\u00e9t\u00e9 \u0416");
    }
    EXPECT_EQ(GetWindowLongPtrW(wnd.get(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&WideOriginal));
    EXPECT_TRUE(IsWindowUnicode(wnd.get()));
}

TEST_F(Subclassing, AHandlerThatThrowsEndsAtTheBoundaryAndTheChainGoesOn) {
    UniqueWindow wnd = NarrowWindow();
    std::string reported;
    Application->OnException = [&](TObject*, const std::exception& e) { reported = e.what(); };
    {
        WindowSubclass below(wnd.get(), Logging("below"));
        WindowSubclass thrower(wnd.get(), [](HWND, UINT msg, WPARAM w, LPARAM l, const SubclassNext& next) -> LRESULT {
            if (msg == kProbe) throw std::runtime_error("handler failed");
            return next(msg, w, l);
        });
        EXPECT_EQ(SendMessageA(wnd.get(), kProbe, 0, 0), 0);
        EXPECT_EQ(reported, "handler failed");
    }
    Application->OnException = nullptr;
    EXPECT_EQ(Probe(wnd.get()), (std::vector<std::string>{"original"}));
}

TEST(WindowProcHooks, RemovedInAnyOrderTheControlGetsItsOwnWindowProcBack) {
    auto panel = std::make_unique<TPanel>(nullptr);
    std::vector<std::string> log;
    panel->WindowProc = [&log](TMessage& m) {
        if (m.Msg == kProbe) log.push_back("own");
    };
    auto hook = [&log](std::string name) {
        return [&log, name](TMessage& m, const WindowProcHook::Next& next) {
            if (m.Msg == kProbe) log.push_back(name);
            next(m);
        };
    };
    auto first = std::make_unique<WindowProcHook>(*panel, hook("first"));
    auto second = std::make_unique<WindowProcHook>(*panel, hook("second"));
    panel->Perform(kProbe);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "own"}));
    first.reset();
    log.clear();
    panel->Perform(kProbe);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "own"}));
    second.reset();
    log.clear();
    panel->Perform(kProbe);
    EXPECT_EQ(log, (std::vector<std::string>{"own"}));

    // Someone replaces WindowProc after us: taking ours out leaves theirs, which still reaches
    // the control's own through a pass-through.
    auto ours = std::make_unique<WindowProcHook>(*panel, hook("ours"));
    auto below = panel->WindowProc;
    panel->WindowProc = [&log, below](TMessage& m) {
        if (m.Msg == kProbe) log.push_back("theirs");
        below(m);
    };
    ours.reset();
    log.clear();
    panel->Perform(kProbe);
    EXPECT_EQ(log, (std::vector<std::string>{"theirs", "own"}));

    // A control freed before its hook: the hook's end touches nothing.
    auto late = std::make_unique<WindowProcHook>(*panel, hook("late"));
    panel.reset();
    late.reset();
}

// A control on its way out whose skins let go one by one still hears its late messages
// (WM_NCDESTROY, a child's removal) in its own procedure.
TEST(WindowProcHooks, ADestroyingControlKeepsItsOwnWindowProcAfterItsLastHook) {
    auto panel = std::make_unique<TPanel>(nullptr);
    int own = 0;
    panel->WindowProc = [&own](TMessage& m) {
        if (m.Msg == kProbe) ++own;
    };
    auto hook = std::make_unique<WindowProcHook>(*panel, [](TMessage& m, const WindowProcHook::Next& next) { next(m); });
    panel->Destroying();
    hook.reset();
    panel->Perform(kProbe);
    EXPECT_EQ(own, 1) << "the message was dropped";
}

}  // namespace
}  // namespace forms
