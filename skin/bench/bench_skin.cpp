// bench_skin: what a skin costs vantrell's real main window at its own size on the biography
// page, under Wine. A full repaint (frame and every control, painted before the call returns)
// skinned in each of the six skins beside the same repaint unskinned; and a skin switch: the
// slider stepped to the next skin until the window has been repainted in it. Medians.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "editor/main_form.h"
#include "forms/application.h"
#include "skin/frame/skin_form.h"
#include "skin/skin_messages.h"
#include "tests/support/process_driver.h"
#include "tests/support/bench_figures.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 25;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        if (!forms::Application->ProcessMessage()) Sleep(1);
    }
    return true;
}

void Settle() {
    for (int i = 0; i < 5; ++i) forms::Application->ProcessMessages();
    GdiFlush();
}

// Frame and every control, painted before it returns.
void FullRepaint(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
}

// One timed full repaint of a window brought to the top first (outside the time), so that
// nothing covers what it paints.
double TimedRepaint(HWND wnd) {
    SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Settle();
    const auto start = Clock::now();
    FullRepaint(wnd);
    return Milliseconds(Clock::now() - start);
}

std::unique_ptr<editor::TForm1> OpenMainWindow(const testsupport::TempFolder& folder) {
    auto form = std::make_unique<editor::TForm1>(nullptr, folder.Path());
    form->Show();
    Settle();
    return form;
}

int Run() {
    // Two main windows at the same place, one left plain and one skinned, repainted in turn so
    // that both see the same machine (other work on it comes and goes).
    testsupport::TempFolder plainFolder, skinnedFolder;
    auto plain = OpenMainWindow(plainFolder);
    auto form = OpenMainWindow(skinnedFolder);
    forms::Application->SetMainForm(form.get());
    const HWND plainWnd = plain->Handle(), wnd = form->Handle();
    RECT r{};
    GetWindowRect(wnd, &r);
    std::printf("skin: vantrell's main window, %ld x %ld, biography page; medians of %d, skinned and plain in turn\n",
                r.right - r.left, r.bottom - r.top, kRuns);
    std::printf("machine load before (1, 5, 15 min): %s\n", bench::MachineLoad().c_str());

    // The form skin over the window's own skin data, as the engine attaches it.
    skin::TSkinData& data = *form->Skin->SkinData1;
    skin::TSkinStore& store = *form->Skin->SkinStore1;
    data.LoadFromSkinStore(store, 0);
    auto* skinned = new skin::TSkinForm(form.get());
    skinned->AttachForm(&data, form.get());
    PostMessageA(wnd, skin::kMsgAttachControls, 0, 1000);
    if (!PumpUntil([&] { return skinned->Phase() == skin::kPhaseReady && skinned->ControlSkins() != nullptr; })) {
        std::printf("skin: the form skin did not attach\n");
        return 1;
    }
    Settle();
    std::vector<double> ratios;
    for (int n = 0; n < store.Store().Count(); ++n) {
        data.LoadFromSkinStore(store, n);
        SendMessageA(wnd, skin::kMsgRecolour, 0, 0);
        Settle();
        TimedRepaint(plainWnd);
        TimedRepaint(wnd);
        std::vector<double> plainTimes, skinnedTimes;
        for (int i = 0; i < kRuns; ++i) {
            plainTimes.push_back(TimedRepaint(plainWnd));
            skinnedTimes.push_back(TimedRepaint(wnd));
        }
        const double p = bench::Median(plainTimes), t = bench::Median(skinnedTimes);
        ratios.push_back(t / p);
        std::printf("  full repaint in skin %d   %8.2f ms, unskinned %8.2f ms  (%.2f times)\n", n, t, p, t / p);
    }

    // A slider step through to the window repainted in the new skin, and its parts: the new
    // skin read from the store, the window recoloured, and the repaint.
    SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Settle();
    std::vector<double> switches, loads, recolours, repaints;
    for (int i = 0; i < kRuns; ++i) {
        const int next = (form->Bio->Slider1->Value() + 1) % store.Store().Count();
        const auto start = Clock::now();
        form->Bio->Slider1->SetValue(next);
        const auto loaded = Clock::now();
        SendMessageA(wnd, skin::kMsgRecolour, 0, 0);
        const auto recoloured = Clock::now();
        FullRepaint(wnd);
        const auto end = Clock::now();
        switches.push_back(Milliseconds(end - start));
        loads.push_back(Milliseconds(loaded - start));
        recolours.push_back(Milliseconds(recoloured - loaded));
        repaints.push_back(Milliseconds(end - recoloured));
        Settle();
    }
    const double worst = *std::max_element(ratios.begin(), ratios.end());
    const double sw = bench::Median(switches);
    std::printf("  slider step to repainted skin %8.2f ms  (skin read %.2f, recolour %.2f, repaint %.2f)\n", sw,
                bench::Median(loads), bench::Median(recolours), bench::Median(repaints));
    std::printf("machine load after (1, 5, 15 min): %s\n", bench::MachineLoad().c_str());
    std::printf("skin: repaint %.2f times unskinned, switch %.0f ms\n", worst, sw);
    forms::Application->SetMainForm(nullptr);
    form.reset();
    plain.reset();
    return 0;
}

}  // namespace

int main() {
    forms::ApplicationScope application;
    forms::Application->SetTitle("Vantrell");
    try {
        return Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_skin: %s\n", e.what());
        return 1;
    }
}
