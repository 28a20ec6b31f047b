#include "skin/controls/portable/attach_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/portable/skin3rd_defaults.h"
#include "skin/portable/skin_control_types.h"

namespace skin {
namespace {

RuleSettings AllOn(const std::vector<std::string>* skin3rd = nullptr) {
    RuleSettings s;
    s.skinControls = kDefaultSkinControls;
    s.skin3rd = skin3rd;
    s.hasTabs = true;
    return s;
}

ControlFacts Facts(std::string name, std::uint32_t kinds, std::intptr_t tag = 0, std::uint32_t style = 0) {
    ControlFacts f;
    f.className = std::move(name);
    f.kinds = kinds | kWindowed;
    f.tag = tag;
    f.style = style;
    return f;
}

// The controls of both programs, as the rules see them.
TEST(AttachRules, EachControlOfTheProgramsGetsItsSkin) {
    struct Case {
        ControlFacts facts;
        SkinClass skin;
        AttachWay way;
        bool colour;
        ChildRule children;
    };
    const Case cases[] = {
        {Facts("TPageControl", kTabControl | kContainer), SkinClass::Tab, AttachWay::Handle, false, ChildRule::None},
        {Facts("TTabSheet", kPanel), SkinClass::Box, AttachWay::Control, true, ChildRule::SkinChildren},
        {Facts("TContainer", kContainer), SkinClass::None, AttachWay::Control, false, ChildRule::SkinChildren},
        {Facts("TButton", kButton), SkinClass::Button, AttachWay::Control, false, ChildRule::None},
        {Facts("TCheckBox", kCheckBox), SkinClass::CheckBox, AttachWay::Control, false, ChildRule::None},
        {Facts("TRadioButton", kRadioButton), SkinClass::RadioButton, AttachWay::Control, false, ChildRule::None},
        {Facts("TGroupBox", kGroupBox | kContainer), SkinClass::GroupBox, AttachWay::Control, true, ChildRule::SkinChildren},
        {Facts("TEdit", kEdit), SkinClass::Edit, AttachWay::Handle, false, ChildRule::None},
        {Facts("TComboBox", kComboBox), SkinClass::ComBox, AttachWay::Control, false, ChildRule::None},
        {Facts("TDateTimePicker", 0), SkinClass::ComBox, AttachWay::Control, false, ChildRule::None},
        {Facts("TRichEdit", kMemo | kEdit), SkinClass::Scrollbar, AttachWay::Scroll, false, ChildRule::None},
        {Facts("TMemo", kMemo | kEdit), SkinClass::Scrollbar, AttachWay::Scroll, false, ChildRule::None},
        {Facts("TListBox", kListBox), SkinClass::Scrollbar, AttachWay::Scroll, false, ChildRule::None},
        {Facts("TThumbView", kScrollBox), SkinClass::Scrollbar, AttachWay::Scroll, false, ChildRule::SkinChildren},
        {Facts("TThumbCell", kPanel | kContainer), SkinClass::Box, AttachWay::Control, true, ChildRule::SkinChildren},
        {Facts("TPanel", kPanel | kContainer), SkinClass::Box, AttachWay::Control, true, ChildRule::SkinChildren},
        {Facts("TLabel", 0), SkinClass::None, AttachWay::Control, false, ChildRule::None},
        {Facts("TSlider", 0), SkinClass::None, AttachWay::Control, false, ChildRule::None},
        {Facts("TSpecialProgress", 0), SkinClass::None, AttachWay::Control, false, ChildRule::None},
        {Facts("TEmbedded", kForm), SkinClass::Box, AttachWay::Control, true, ChildRule::SkinChildren},
        {Facts("TSomething", 0, 55), SkinClass::Scrollbar, AttachWay::Scroll, false, ChildRule::None},
        {Facts("TSomething", 0, 0, 0x200000), SkinClass::Scrollbar, AttachWay::Scroll, false, ChildRule::None},
    };
    const RuleSettings s = AllOn();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.facts.className);
        const SkinPlan p = DecideControlSkin(c.facts, s);
        EXPECT_EQ(SkinClassName(p.skin), std::string(SkinClassName(c.skin))) << p.rule;
        if (c.skin != SkinClass::None) {
            EXPECT_EQ(p.way, c.way);
            EXPECT_EQ(p.colour, c.colour);
        }
        EXPECT_EQ(p.children, c.children);
    }
}

// A picker in up-down mode or editing a time is an edit, else a combo box; without the edit
// gate it falls to the rows after it.
TEST(AttachRules, TheDatePickerDependsOnItsModeAndTheEditGate) {
    ControlFacts picker = Facts("TDateTimePicker", 0);
    EXPECT_EQ(DecideControlSkin(picker, AllOn()).skin, SkinClass::ComBox);
    picker.pickerUpDownOrTime = true;
    EXPECT_EQ(DecideControlSkin(picker, AllOn()).skin, SkinClass::Edit);
    RuleSettings noEdit = AllOn();
    noEdit.skinControls &= ~(1u << xcEdit);
    EXPECT_EQ(DecideControlSkin(picker, noEdit).skin, SkinClass::None);
}

TEST(AttachRules, DisableTagExemptsTagsWhoseRemainderMatches) {
    const struct {
        std::intptr_t tag;
        bool skipped;
    } cases[] = {{99, true}, {199, true}, {100, false}, {0, false}, {98, false}};
    for (const auto& c : cases) {
        const SkinPlan p = DecideControlSkin(Facts("TButton", kButton, c.tag), AllOn());
        EXPECT_EQ(p.skip, c.skipped) << c.tag;
        EXPECT_EQ(p.skin, c.skipped ? SkinClass::None : SkinClass::Button) << c.tag;
    }
}

// Each gate switches its rows off; a tab control also needs the skin's Tabs element.
TEST(AttachRules, GatesSwitchTheirRowsOff) {
    const struct {
        ControlFacts facts;
        TSkinControlType gate;
        SkinClass on;
        SkinClass off;
    } cases[] = {
        {Facts("TButton", kButton), xcButton, SkinClass::Button, SkinClass::None},
        {Facts("TCheckBox", kCheckBox), xcCheckBox, SkinClass::CheckBox, SkinClass::None},
        {Facts("TComboBox", kComboBox), xcCombo, SkinClass::ComBox, SkinClass::None},
        {Facts("TMemo", kMemo | kEdit), xcScrollbar, SkinClass::Scrollbar, SkinClass::Edit},
        {Facts("TGroupBox", kGroupBox | kContainer), xcPanel, SkinClass::GroupBox, SkinClass::None},
        {Facts("TPageControl", kTabControl | kContainer), xcTab, SkinClass::Tab, SkinClass::None},
        {Facts("TBitBtn", kBitButton | kButton), xcBitBtn, SkinClass::BitButton, SkinClass::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.facts.className);
        RuleSettings s = AllOn();
        EXPECT_EQ(DecideControlSkin(c.facts, s).skin, c.on);
        s.skinControls &= ~(1u << c.gate);
        EXPECT_EQ(DecideControlSkin(c.facts, s).skin, c.off);
    }
    RuleSettings noTabs = AllOn();
    noTabs.hasTabs = false;
    EXPECT_EQ(DecideControlSkin(Facts("TPageControl", kTabControl | kContainer), noTabs).skin, SkinClass::None);
}

// Each of these kinds has its own row, ahead of any broader row that would claim it.
TEST(AttachRules, RowsOfTheRemainingKindsMatch) {
    const struct {
        ControlFacts facts;
        SkinClass skin;
    } cases[] = {
        {Facts("TBitBtn", kBitButton | kButton), SkinClass::BitButton},
        {Facts("TSpeedButton", kSpeedButton), SkinClass::SpeedButton},
        {Facts("TStatusBar", kStatusBar), SkinClass::StatusBar},
        {Facts("TProgressBar", kProgressBar), SkinClass::Progress},
        {Facts("TTrackBar", 0), SkinClass::TrackBar},
        {Facts("TScrollBar", kScrollBar), SkinClass::ScControl},
        {Facts("TListView", kListView), SkinClass::ListView},
        {Facts("TTabSet", 0), SkinClass::Tab31},
        {Facts("TRzDBCheckBox", 0), SkinClass::ObjImage},
        {Facts("TUpDown", 0), SkinClass::UpDown},
    };
    for (const auto& c : cases) EXPECT_EQ(DecideControlSkin(c.facts, AllOn()).skin, c.skin) << c.facts.className;
}

TEST(AttachRules, NamesThatAreNeverSkinned) {
    for (const char* name : {"TDBComboBoxEh", "TQRPreview", "TfrDesignerPage", "TfrPBox"}) {
        const SkinPlan p = DecideControlSkin(Facts(name, kComboBox | kPanel), AllOn());
        EXPECT_TRUE(p.skip) << name;
        EXPECT_EQ(p.skin, SkinClass::None) << name;
    }
}

// A line matches on the class name followed by "=", in any letter case; "nil" keeps the class
// unskinned even where a later rule would skin it.
TEST(AttachRules, Skin3rdLinesMatchTheWholeClassName) {
    const std::vector<std::string> lines = {"TMyButtonLong=edit", "TMyButton=NIL", "tfancy=ComboBox", "TOther=unknownkind",
                                            "TOTHER=edit"};
    EXPECT_EQ(Skin3rdKind(lines, "TMyButton"), "nil");
    EXPECT_EQ(Skin3rdKind(lines, "TMyButtonLong"), "edit");
    EXPECT_EQ(Skin3rdKind(lines, "TMyButt"), std::nullopt);
    EXPECT_EQ(Skin3rdKind(lines, "TFANCY"), "combobox");
    EXPECT_EQ(Skin3rdKind(lines, "TOther"), "unknownkind");  // the first line wins

    const RuleSettings s = AllOn(&lines);
    SkinPlan nil = DecideControlSkin(Facts("TMyButton", kButton), s);
    EXPECT_TRUE(nil.skip);
    EXPECT_EQ(nil.skin, SkinClass::None);
    EXPECT_EQ(DecideControlSkin(Facts("TMyButtonLong", kButton), s).skin, SkinClass::Edit);
    EXPECT_EQ(DecideControlSkin(Facts("TFancy", 0), s).skin, SkinClass::ComBox);
    // A kind without a row still ends the chain: the push-button row is not reached.
    EXPECT_EQ(DecideControlSkin(Facts("TOther", kButton), s).skin, SkinClass::None);
    const std::string longKind(80, 'x');
    EXPECT_EQ(Skin3rdKind({"TLong=" + longKind}, "TLong")->size(), 50u);
}

TEST(AttachRules, Skin3rdKindsGiveTheirSkins) {
    const struct {
        const char* kind;
        SkinClass skin;
        ChildRule children;
    } cases[] = {
        {"combobox", SkinClass::ComBox, ChildRule::None},      {"edit", SkinClass::Edit, ChildRule::None},
        {"radiobutton", SkinClass::RadioButton, ChildRule::None}, {"panel", SkinClass::Box, ChildRule::None},
        {"trackbar", SkinClass::TrackBar, ChildRule::None},    {"button", SkinClass::Button, ChildRule::None},
        {"bitbtn", SkinClass::BitButton, ChildRule::None},     {"speedbutton", SkinClass::SpeedButton, ChildRule::None},
        {"tab", SkinClass::Tab, ChildRule::None},              {"progress", SkinClass::Progress, ChildRule::None},
        {"scrollbar", SkinClass::Scrollbar, ChildRule::SkinChildren},
        {"embedscrollbar", SkinClass::None, ChildRule::EmbedScroll},
        {"container", SkinClass::None, ChildRule::Skin3rdEach},
        {"groupbox", SkinClass::GroupBox, ChildRule::None},    {"radiogroup", SkinClass::GroupBox, ChildRule::AllRadio},
        {"checkgroup", SkinClass::GroupBox, ChildRule::AllCheck}, {"checkbox", SkinClass::CheckBox, ChildRule::None},
        {"nil", SkinClass::None, ChildRule::None},             {"nonsense", SkinClass::None, ChildRule::None},
    };
    for (const auto& c : cases) {
        const SkinPlan p = Skin3rdPlan(c.kind, AllOn());
        EXPECT_EQ(p.skin, c.skin) << c.kind;
        EXPECT_EQ(p.children, c.children) << c.kind;
    }
    // The shipped list reads the same way.
    ASSERT_TRUE(Skin3rdKind(DefaultSkin3rd(), "TAdvPanelGroup").has_value());
    EXPECT_EQ(*Skin3rdKind(DefaultSkin3rd(), "TAdvPanelGroup"), "scrollbar");
}

// The button type decides, never single style bits: an owner-drawn button is no check box and
// a split button no radio button.
TEST(AttachRules, RawButtonsByTheirType) {
    const struct {
        std::uint32_t style;
        SkinClass skin;
    } cases[] = {
        {0x0, SkinClass::Button},      {0x1, SkinClass::Button},      {0x2, SkinClass::CheckBox},
        {0x3, SkinClass::CheckBox},    {0x4, SkinClass::RadioButton}, {0x5, SkinClass::CheckBox},
        {0x6, SkinClass::CheckBox},    {0x7, SkinClass::None},        {0x8, SkinClass::None},
        {0x9, SkinClass::RadioButton}, {0xA, SkinClass::None},        {0xB, SkinClass::None},
        {0xC, SkinClass::None},        {0xE, SkinClass::None},        {0x50010001, SkinClass::Button},
        {0x50010003 | 0x20, SkinClass::CheckBox},
    };
    for (const auto& c : cases) EXPECT_EQ(RawButtonSkin(c.style), c.skin) << std::hex << c.style;
}

TEST(AttachRules, RawWindowsByTheirClass) {
    const struct {
        const char* name;
        std::uint32_t style;
        SkinClass skin;
    } cases[] = {
        {"Button", 1, SkinClass::Button},         {"BUTTON", 7, SkinClass::None},
        {"ComboBox", 1, SkinClass::None},          {"ComboBox", 2, SkinClass::ComBox},
        {"ComboBox", 3, SkinClass::ComBox},        {"ComboBoxEx32", 0, SkinClass::ComBox},
        {"ScrollBar", 0, SkinClass::Sizer},        {"SysTreeView32", 0, SkinClass::None},
        {"#32770", 0, SkinClass::BoxH},            {"ToolbarWindow32", 0, SkinClass::None},
        {"Edit", 0, SkinClass::Edit},              {"Static", 0, SkinClass::None},
        {"RichEdit20A", 0, SkinClass::None},
    };
    for (const auto& c : cases) EXPECT_EQ(RawWindowSkin(c.name, c.style), c.skin) << c.name << " " << c.style;
}

}  // namespace
}  // namespace skin
