#include "forms/date_time_picker.h"

#include <commctrl.h>

#include <cmath>

#include "forms/common_controls.h"
#include "forms/portable/properties.h"

namespace forms {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

}  // namespace

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
    double time = ((st.wHour * 60.0 + st.wMinute) * 60.0 + st.wSecond) * 1000.0 + st.wMilliseconds;
    return EncodeDate(st.wYear, st.wMonth, st.wDay) + time / kMillisecondsPerDay;
}

SYSTEMTIME DateTimeToSystemTime(TDateTime value) {
    SYSTEMTIME st{};
    double days = std::floor(value);
    long long ms = std::llround((value - days) * kMillisecondsPerDay);
    if (ms >= static_cast<long long>(kMillisecondsPerDay)) {
        days += 1;
        ms -= static_cast<long long>(kMillisecondsPerDay);
    }
    int y, m, d;
    DecodeDate(days, y, m, d);
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    // 1899-12-30 was a Saturday.
    long long dow = (static_cast<long long>(days) + 6) % 7;
    st.wDayOfWeek = static_cast<WORD>(dow < 0 ? dow + 7 : dow);
    st.wHour = static_cast<WORD>(ms / 3600000);
    st.wMinute = static_cast<WORD>(ms / 60000 % 60);
    st.wSecond = static_cast<WORD>(ms / 1000 % 60);
    st.wMilliseconds = static_cast<WORD>(ms % 1000);
    return st;
}

TDateTime Now() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return SystemTimeToDateTime(st);
}

const TClassInfo& TDateTimePicker::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TDateTimePicker>("TDateTimePicker", &TWinControl::StaticClass())
            .Enum("DateFormat", {"dfShort", "dfLong"}, &TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat)
            .Enum("Kind", {"dtkDate", "dtkTime"}, &TDateTimePicker::Kind, &TDateTimePicker::SetKind)
            .Enum("DateMode", {"dmComboBox", "dmUpDown"}, &TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode)
            .Done();
    return info;
}

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner), value_(Now()) {
    SetControlStyle(csSetCaption | csFixedHeight);
    SetTabStop(true);
    SetBounds(0, 0, 186, 21);
}

void TDateTimePicker::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_DATE_CLASSES);
    TWinControl::CreateParams(params);
    params.SystemClassName = DATETIMEPICK_CLASSA;
    if (kind_ == dtkTime) params.Style |= DTS_TIMEFORMAT;
    else params.Style |= dateFormat_ == dfLong ? DTS_LONGDATEFORMAT : DTS_SHORTDATEFORMAT;
    if (dateMode_ == dmUpDown || kind_ == dtkTime) params.Style |= DTS_UPDOWN;
    params.Caption.clear();
}

void TDateTimePicker::HandleCreated() {
    TWinControl::HandleCreated();
    SYSTEMTIME st = DateTimeToSystemTime(value_);
    setting_ = true;
    SendMessageA(WindowHandle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    setting_ = false;
}

void TDateTimePicker::HandleDestroying() {
    value_ = DateTime();
    TWinControl::HandleDestroying();
}

TDateTime TDateTimePicker::DateTime() const {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return value_;
    SYSTEMTIME st{};
    if (SendMessageA(wnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return value_;
    return SystemTimeToDateTime(st);
}

void TDateTimePicker::SetDateTime(TDateTime v) {
    value_ = v;
    if (HWND wnd = WindowHandle()) {
        SYSTEMTIME st = DateTimeToSystemTime(v);
        setting_ = true;
        SendMessageA(wnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
        setting_ = false;
    }
}

TDateTime TDateTimePicker::Date() const { return std::floor(DateTime()); }

void TDateTimePicker::SetDate(TDateTime v) { SetDateTime(std::floor(v) + Time()); }

TDateTime TDateTimePicker::Time() const {
    TDateTime v = DateTime();
    return v - std::floor(v);
}

void TDateTimePicker::SetTime(TDateTime v) { SetDateTime(Date() + (v - std::floor(v))); }

void TDateTimePicker::SetDateFormat(TDTDateFormat v) {
    if (dateFormat_ == v) return;
    value_ = DateTime();
    dateFormat_ = v;
    RecreateWnd();
}

void TDateTimePicker::SetKind(TDateTimeKind v) {
    if (kind_ == v) return;
    value_ = DateTime();
    kind_ = v;
    RecreateWnd();
}

void TDateTimePicker::SetDateMode(TDTDateMode v) {
    if (dateMode_ == v) return;
    value_ = DateTime();
    dateMode_ = v;
    RecreateWnd();
}

void TDateTimePicker::Change() {
    if (OnChange) OnChange(this);
}

void TDateTimePicker::WndProc(TMessage& message) {
    if (message.Msg == CN_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(message.LParam);
        if (header->code == DTN_DATETIMECHANGE) {
            auto* change = reinterpret_cast<NMDATETIMECHANGE*>(message.LParam);
            if (change->dwFlags == GDT_VALID) value_ = SystemTimeToDateTime(change->st);
            if (!setting_) Change();
            message.Result = 0;
            return;
        }
    }
    TWinControl::WndProc(message);
}

}  // namespace forms
