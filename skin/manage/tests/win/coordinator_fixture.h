// What the coordinator's scenarios share: the process's main form carrying the main skin data
// (built the way a program builds its forms, so that the data's Loaded runs), switching it and
// waiting for the request, and running checks from a timer inside a modal loop.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "forms/application.h"
#include "forms/form.h"
#include "skin/frame/skin_form.h"
#include "skin/frame/skin_manage.h"
#include "skin/frame/tests/win/frame_fixture.h"
#include "skin/manage/skin_coordinator_impl.h"
#include "skin/skin_data.h"

namespace skin::manage_tests {

using frame_tests::PumpUntil;
using frame_tests::Settle;
using frame_tests::WindowPixel;

inline std::string SkinPath(const std::string& stem) { return std::string(SKIN_ARTIFACTS_WIN) + "/skin-" + stem + ".skin"; }

inline bool Skinned(HWND wnd) { return SendMessageA(wnd, kMsgSkinnedQuery, 0, 0) == 1; }

inline bool HasRegion(HWND wnd) {
    forms::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    return GetWindowRgn(wnd, region.get()) != ERROR;
}

// The main form with SkinData1 (the probe skin, inactive), made once per process.
struct MainProgram {
    forms::TForm* form = nullptr;
    TSkinData* data = nullptr;
    int skinChanged = 0;
};

inline MainProgram& Program() {
    static MainProgram program = [] {
        MainProgram p;
        p.form = new forms::TForm(forms::Application);
        {
            forms::TLoadingScope loading(*p.form);
            p.data = new TSkinData(p.form);
            p.data->SetName("SkinData1");
            p.data->SetSkinFile(SkinPath("probe"));
        }
        p.form->SetText("Main");
        p.form->SetBounds(100, 100, 360, 240);
        p.form->Show();
        // The hook counts the first activation; until then switching only sets the flag.
        HWND wnd = p.form->Handle();
        EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == wnd || (SetForegroundWindow(wnd), false); }));
        Settle();
        EXPECT_EQ(TSkinCoordinator::Instance()->ActivationState(), 1);
        return p;
    }();
    static bool counting = [] {
        program.data->OnSkinChanged = [](TSkinData&) { ++program.skinChanged; };
        return true;
    }();
    (void)counting;
    return program;
}

inline TSkinCoordinator& Coordinator() { return *TSkinCoordinator::Instance(); }

// Switches the main data and waits until the request has been carried out.
inline void SwitchMain(bool on) {
    MainProgram& p = Program();
    const int before = p.skinChanged;
    p.data->SetActive(on);
    ASSERT_TRUE(PumpUntil([&] { return p.skinChanged > before; }, 3000)) << "request not carried out";
    Settle();
    ASSERT_EQ(Skinned(p.form->Handle()), on);
}

// Runs step on a 30 ms thread timer until it returns true or the deadline passes, from inside
// whatever modal loop the caller then enters; done() is told how it ended.
struct TimerSteps {
    static std::function<bool()>& Step() {
        static std::function<bool()> step;
        return step;
    }
    static DWORD& Start() {
        static DWORD start = 0;
        return start;
    }
    static bool& TimedOut() {
        static bool timedOut = false;
        return timedOut;
    }
    static UINT_PTR& Id() {
        static UINT_PTR id = 0;
        return id;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        static bool inside = false;
        if (inside) return;  // a step that runs messages itself
        inside = true;
        const bool late = GetTickCount() - Start() > 6000;
        bool finished = false;
        try {
            finished = Step()();
        } catch (...) {
            finished = true;
        }
        if (finished || late) {
            TimedOut() = !finished;
            if (!finished) EndMenu();  // a menu left open would never let the test go on
            KillTimer(nullptr, id);
            Id() = 0;
        }
        inside = false;
    }
    static void Begin(std::function<bool()> step) {
        Step() = std::move(step);
        Start() = GetTickCount();
        TimedOut() = false;
        Id() = SetTimer(nullptr, 0, 30, &Tick);
    }
    static bool Running() { return Id() != 0; }
};

}  // namespace skin::manage_tests
