// Small controls and helpers shared by the Windows tests of forms, keys and the mouse.
#pragma once
#include <windows.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/custom_control.h"
#include "forms/graphic_control.h"

namespace forms::testing_support {

// Handles messages until done() or the time is up; false on time-out.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        if (!Application->ProcessMessage()) Sleep(1);
    }
    return true;
}

// A focusable windowed control: answers WM_GETDLGCODE as told, takes one Alt+letter, and
// logs (into a shared log) the keys and dialog characters that reach it.
class TFocusable : public TCustomControl {
public:
    TFocusable(TComponent* owner, std::string name, std::vector<std::string>* log = nullptr)
        : TCustomControl(owner), log_(log) {
        SetName(name);
        SetTabStop(true);
        SetBounds(0, 0, 30, 20);
    }
    LRESULT dlgCode = 0;
    char accel = 0;

    void WndProc(TMessage& m) override {
        switch (m.Msg) {
            case WM_GETDLGCODE: m.Result = dlgCode; return;
            case CM_DIALOGCHAR:
                Log("char " + std::string(1, static_cast<char>(std::tolower(static_cast<int>(m.WParam)))));
                if (accel != 0 && std::tolower(static_cast<int>(m.WParam)) == accel) {
                    m.Result = 1;
                    return;
                }
                break;
            default: break;
        }
        TCustomControl::WndProc(m);
    }

protected:
    void KeyDown(WORD& key, TShiftState shift) override {
        Log("down " + std::to_string(key));
        TCustomControl::KeyDown(key, shift);
    }

private:
    void Log(const std::string& what) {
        if (log_ != nullptr) log_->push_back(Name() + ": " + what);
    }
    std::vector<std::string>* log_;
};

// A windowless control with a name and a size.
class TSpot : public TGraphicControl {
public:
    TSpot(TComponent* owner, std::string name) : TGraphicControl(owner) {
        SetName(name);
        SetBounds(0, 0, 20, 20);
    }
};

}  // namespace forms::testing_support
