// A date or time picker over SysDateTimePick32. Values are serial dates: days since
// 1899-12-30, the fraction being the time of day.
#pragma once
#include <windows.h>

#include "forms/portable/date_time.h"
#include "forms/win_control.h"

namespace forms {


enum TDTDateFormat { dfShort, dfLong };
enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateMode { dmComboBox, dmUpDown };

// Conversions between serial dates and SYSTEMTIME (milliseconds rounded).
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
SYSTEMTIME DateTimeToSystemTime(TDateTime value);
// The local date and time now.
TDateTime Now();

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TDateTime DateTime() const;
    // Setting a value fires no OnChange (that is the user's).
    void SetDateTime(TDateTime v);
    // The whole days; setting it keeps the time of day.
    TDateTime Date() const;
    void SetDate(TDateTime v);
    // The fraction; setting it keeps the day.
    TDateTime Time() const;
    void SetTime(TDateTime v);

    TDTDateFormat DateFormat() const { return dateFormat_; }
    void SetDateFormat(TDTDateFormat v);
    TDateTimeKind Kind() const { return kind_; }
    void SetKind(TDateTimeKind v);
    TDTDateMode DateMode() const { return dateMode_; }
    void SetDateMode(TDTDateMode v);

    void WndProc(TMessage& message) override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void HandleDestroying() override;
    virtual void Change();

private:
    TDateTime value_;
    TDTDateFormat dateFormat_ = dfShort;
    TDateTimeKind kind_ = dtkDate;
    TDTDateMode dateMode_ = dmComboBox;
    bool setting_ = false;
};

}  // namespace forms
