#include "forms/timer.h"

#include <map>

#include "forms/guard.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"

namespace forms {

namespace {
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}
}  // namespace

const TClassInfo& TTimer::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TTimer>("TTimer", &TComponent::StaticClass())
                                       .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
                                       .Int("Interval", &TTimer::Interval, &TTimer::SetInterval)
                                       .Done();
    return info;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() { Stop(); }

void TTimer::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
    if (v == interval_) return;
    interval_ = v;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::Stop() {
    if (id_ == 0) return;
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
}

void TTimer::UpdateTimer() {
    Stop();
    if (!enabled_ || interval_ == 0 || IsLoading() || IsDestroying()) return;
    id_ = SetTimer(nullptr, 0, interval_, &TTimer::TimerProc);
    if (id_ == 0) throw EOutOfResources("Not enough timers available");
    Timers()[id_] = this;
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Timers().find(id);
    if (it == Timers().end()) return;
    TTimer* timer = it->second;
    Guarded([timer] { timer->Timer(); });
}

}  // namespace forms
