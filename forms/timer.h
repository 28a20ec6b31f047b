// A component timer: OnTimer every Interval milliseconds while Enabled (and assigned).
#pragma once
#include <windows.h>

#include "forms/events.h"
#include "forms/portable/component.h"

namespace forms {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned v);
    // Runs on each tick while Enabled and Interval > 0.
    TNotifyEvent OnTimer;

protected:
    void Loaded() override;
    virtual void Timer();

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    void UpdateTimer();
    void Stop();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    UINT_PTR id_ = 0;
};

}  // namespace forms
