#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "forms/date_time_picker.h"
#include "forms/list_box.h"
#include "forms/rich_edit.h"
#include "forms/tests/win/standard_controls_fixture.h"

namespace forms {
namespace {

using Lists = testing_support::ShownForm;

TEST_F(Lists, LogLinesAddedAndShownKeepTheLastLineInView) {
    auto* log = new TListBox(form);
    log->SetParent(form);
    log->SetBounds(10, 10, 200, 100);
    for (int i = 0; i < 200; ++i) log->AddAndShow("Writing page " + std::to_string(i));
    RECT client{};
    GetClientRect(log->Handle(), &client);
    RECT last = log->ItemRect(199);
    EXPECT_GT(log->TopIndex(), 150);
    EXPECT_LE(last.bottom, client.bottom);
    EXPECT_GE(last.top, 0);
    EXPECT_EQ(log->Items()->Get(199), "Writing page 199");
}

TEST_F(Lists, ItemsAndSelectionSurviveANewWindow) {
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->Items()->SetText("c\r\na\r\nb\r\n");
    list->SetItemIndex(2);
    list->SetBorderStyle(bsNone);
    EXPECT_EQ(list->Items()->Count(), 3);
    EXPECT_EQ(list->ItemIndex(), 2);
    list->SetSorted(true);
    EXPECT_EQ(list->Items()->Get(0), "a");
}

struct DateCase {
    int year, month, day;
    double serial;
};

class SerialDates : public testing::TestWithParam<DateCase> {};

TEST_P(SerialDates, EncodeAndDecodeAgree) {
    const DateCase& c = GetParam();
    EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.serial);
    int y = 0, m = 0, d = 0;
    DecodeDate(c.serial + 0.75, y, m, d);
    EXPECT_EQ(y, c.year);
    EXPECT_EQ(m, c.month);
    EXPECT_EQ(d, c.day);
}

INSTANTIATE_TEST_SUITE_P(Days, SerialDates,
                         testing::Values(DateCase{1899, 12, 30, 0}, DateCase{1900, 3, 1, 61}, DateCase{2000, 2, 29, 36585},
                                         DateCase{1899, 12, 29, -1}, DateCase{2026, 12, 10, 46366}));

TEST_F(Lists, DatePickerLongFormatKeepsTheDateThroughTheNewWindow) {
    auto* picker = new TDateTimePicker(form);
    picker->SetParent(form);
    TDateTime birth = EncodeDate(1987, 6, 15);
    picker->SetDate(birth);
    int changes = 0;
    picker->OnChange = [&](TObject*) { ++changes; };
    picker->SetDateFormat(dfLong);
    EXPECT_TRUE(GetWindowLongPtrA(picker->Handle(), GWL_STYLE) & DTS_LONGDATEFORMAT);
    EXPECT_EQ(picker->Date(), birth);
    SYSTEMTIME st{};
    SendMessageA(picker->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(st.wYear, 1987);
    EXPECT_EQ(st.wMonth, 6);
    EXPECT_EQ(st.wDay, 15);
    EXPECT_EQ(changes, 0);
    // A user's change arrives as DTN_DATETIMECHANGE.
    NMDATETIMECHANGE change{};
    change.nmhdr = {picker->Handle(), 0, static_cast<UINT>(DTN_DATETIMECHANGE)};
    change.dwFlags = GDT_VALID;
    change.st = DateTimeToSystemTime(EncodeDate(1990, 1, 2));
    SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(changes, 1);
}

std::string TempFile(const char* name) {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

TEST_F(Lists, RichEditRtfRoundTripKeepsFormattingAndReadsPlainText) {
    auto* rich = new TRichEdit(form);
    rich->SetParent(form);
    rich->StreamIn("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain \\b bold\\b0\\par second line}", true);
    std::string file = TempFile("rich_edit_round_trip.rtf");
    rich->Lines()->SaveToFile(file);
    rich->Clear();
    EXPECT_EQ(rich->Lines()->Count(), 0);

    auto* other = new TRichEdit(form);
    other->SetParent(form);
    other->Lines()->LoadFromFile(file);
    std::string rtf = other->StreamOut(true);
    EXPECT_NE(rtf.find("\\b"), std::string::npos) << rtf;
    ASSERT_GE(other->Lines()->Count(), 2);
    EXPECT_EQ(other->Lines()->Get(0), "plain bold");
    EXPECT_EQ(other->Lines()->Get(1), "second line");

    other->SetPlainText(true);
    std::string plainFile = TempFile("rich_edit_plain.txt");
    other->Lines()->SaveToFile(plainFile);
    other->SetPlainText(false);
    std::FILE* f = std::fopen(plainFile.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buffer[256] = {};
    size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    std::string plain(buffer, n);
    EXPECT_EQ(plain.find("\\rtf"), std::string::npos);
    EXPECT_NE(plain.find("plain bold"), std::string::npos);
    std::remove(file.c_str());
    std::remove(plainFile.c_str());
}

}  // namespace
}  // namespace forms
