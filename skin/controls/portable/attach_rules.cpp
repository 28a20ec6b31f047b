#include "skin/controls/portable/attach_rules.h"

#include <algorithm>
#include <array>
#include <functional>

#include "forms/portable/text_case.h"
#include "skin/portable/skin_control_types.h"

namespace skin {

namespace {

using forms::LowerAscii;
using forms::UpperAscii;

bool Gate(const RuleSettings& s, TSkinControlType t) { return (s.skinControls & (1u << t)) != 0; }

SkinPlan Plan(SkinClass skin, AttachWay way, bool colour, std::string rule) {
    SkinPlan p;
    p.skin = skin;
    p.way = way;
    p.colour = colour;
    p.rule = std::move(rule);
    return p;
}

SkinPlan Nothing(std::string rule) {
    SkinPlan p;
    p.rule = std::move(rule);
    return p;
}

struct Row {
    const char* rule;
    std::function<bool(const ControlFacts&, const std::string& upperName, const RuleSettings&)> matches;
    std::function<SkinPlan(const ControlFacts&, const RuleSettings&)> act;
};

bool Named(const std::string& upper, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return upper == n; });
}

// The rows after the exemptions, in order; the first that matches decides.
const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = [] {
        std::vector<Row> r;
        auto tabs = [](const RuleSettings& s) { return Gate(s, xcTab) && s.hasTabs; };
        r.push_back({"tab control", [=](const ControlFacts& c, const std::string&, const RuleSettings& s) {
                         return (c.kinds & kTabControl) && tabs(s); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Tab, AttachWay::Handle, false, "tab control"); }});
        r.push_back({"main menu carrier", [](const ControlFacts& c, const std::string&, const RuleSettings& s) {
                         return (c.kinds & kMainMenuCarrier) && Gate(s, xcMainMenu); },
                     [](const ControlFacts&, const RuleSettings&) {
                         SkinPlan p = Nothing("main menu carrier");
                         p.ownerDrawMenu = true;
                         return p; }});
        r.push_back({"TTABSET", [=](const ControlFacts&, const std::string& n, const RuleSettings& s) { return n == "TTABSET" && tabs(s); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Tab31, AttachWay::Control, false, "TTABSET"); }});
        r.push_back({"TTABBEDNOTEBOOK", [=](const ControlFacts&, const std::string& n, const RuleSettings& s) { return n == "TTABBEDNOTEBOOK" && tabs(s); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Tab, AttachWay::Handle, false, "TTABBEDNOTEBOOK"); }});
        r.push_back({"TMVCPANEL", [](const ControlFacts&, const std::string& n, const RuleSettings&) { return n == "TMVCPANEL"; },
                     [](const ControlFacts&, const RuleSettings&) {
                         SkinPlan p = Nothing("TMVCPANEL");
                         p.children = ChildRule::SkinChildren;
                         return p; }});
        r.push_back({"check box", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kCheckBox) && Gate(s, xcCheckBox); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::CheckBox, AttachWay::Control, false, "check box"); }});
        r.push_back({"TTRACKBAR", [](const ControlFacts&, const std::string& n, const RuleSettings& s) { return n == "TTRACKBAR" && Gate(s, xcButton); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::TrackBar, AttachWay::Control, false, "TTRACKBAR"); }});
        r.push_back({"TUPDOWN", [](const ControlFacts&, const std::string& n, const RuleSettings& s) {
                         return Named(n, {"TUPDOWN", "TSPINBUTTON"}) && Gate(s, xcButton); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::UpDown, AttachWay::Control, false, "TUPDOWN"); }});
        r.push_back({"radio group", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kRadioGroup) && Gate(s, xcRadioButton); },
                     [](const ControlFacts&, const RuleSettings&) {
                         SkinPlan p = Plan(SkinClass::GroupBox, AttachWay::Control, true, "radio group");
                         p.children = ChildRule::AllRadio;
                         p.childrenFirst = true;
                         return p; }});
        r.push_back({"TDBNAVIGATOR", [](const ControlFacts&, const std::string& n, const RuleSettings& s) { return n == "TDBNAVIGATOR" && Gate(s, xcPanel); },
                     [](const ControlFacts&, const RuleSettings&) {
                         SkinPlan p = Plan(SkinClass::Box, AttachWay::Control, true, "TDBNAVIGATOR");
                         p.setProperties = {{"Flat", "True"}};
                         return p; }});
        r.push_back({"TRZDBCHECKBOX", [](const ControlFacts&, const std::string& n, const RuleSettings& s) { return n == "TRZDBCHECKBOX" && Gate(s, xcCheckBox); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::ObjImage, AttachWay::Control, true, "TRZDBCHECKBOX"); }});
        r.push_back({"group box", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kGroupBox) && Gate(s, xcPanel); },
                     [](const ControlFacts&, const RuleSettings&) {
                         SkinPlan p = Plan(SkinClass::GroupBox, AttachWay::Control, true, "group box");
                         p.children = ChildRule::SkinChildren;
                         return p; }});
        r.push_back({"radio button", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kRadioButton) && Gate(s, xcRadioButton); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::RadioButton, AttachWay::Control, false, "radio button"); }});
        r.push_back({"tool bar", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kToolBar) && Gate(s, xcToolbar); },
                     [](const ControlFacts&, const RuleSettings&) {
                         SkinPlan p = Plan(SkinClass::Box, AttachWay::Control, true, "tool bar");
                         p.setProperties = {{"Flat", "True"}};
                         p.ownerDrawMenu = true;
                         p.customDrawButtons = true;
                         return p; }});
        r.push_back({"status bar", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kStatusBar) && Gate(s, xcStatusBar); },
                     [](const ControlFacts&, const RuleSettings&) {
                         SkinPlan p = Plan(SkinClass::StatusBar, AttachWay::Control, false, "status bar");
                         p.setProperties = {{"SizeGrip", "False"}};
                         return p; }});
        r.push_back({"progress bar", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kProgressBar) && Gate(s, xcProgress); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Progress, AttachWay::Control, false, "progress bar"); }});
        r.push_back({"scroll bar", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kScrollBar) && Gate(s, xcScrollbar); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::ScControl, AttachWay::ScrollBarControl, false, "scroll bar"); }});
        r.push_back({"TTNTCOMBOBOX", [](const ControlFacts&, const std::string& n, const RuleSettings& s) { return n == "TTNTCOMBOBOX" && Gate(s, xcCombo); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::ComBox, AttachWay::Handle, false, "TTNTCOMBOBOX"); }});
        r.push_back({"combo box", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kComboBox) && Gate(s, xcCombo); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::ComBox, AttachWay::Control, false, "combo box"); }});
        r.push_back({"TDATETIMEPICKER", [](const ControlFacts&, const std::string& n, const RuleSettings& s) { return n == "TDATETIMEPICKER" && Gate(s, xcEdit); },
                     [](const ControlFacts& c, const RuleSettings&) {
                         return Plan(c.pickerUpDownOrTime ? SkinClass::Edit : SkinClass::ComBox, AttachWay::Control, false, "TDATETIMEPICKER"); }});
        r.push_back({"TRICHEDIT", [](const ControlFacts&, const std::string& n, const RuleSettings& s) { return n == "TRICHEDIT" && Gate(s, xcScrollbar); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Scrollbar, AttachWay::Scroll, false, "TRICHEDIT"); }});
        r.push_back({"TWWDBRICHEDIT", [](const ControlFacts&, const std::string& n, const RuleSettings& s) {
                         return Named(n, {"TWWDBRICHEDIT", "TDXDBMEMO"}) && Gate(s, xcScrollbar); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Scrollbar, AttachWay::Scroll, false, "TWWDBRICHEDIT"); }});
        // Without its gate a bitmap button is left alone, whatever later rows say.
        r.push_back({"bitmap button", [](const ControlFacts& c, const std::string&, const RuleSettings&) { return (c.kinds & kBitButton) != 0; },
                     [](const ControlFacts&, const RuleSettings& s) {
                         return Gate(s, xcBitBtn) ? Plan(SkinClass::BitButton, AttachWay::Control, false, "bitmap button")
                                                  : Nothing("bitmap button"); }});
        r.push_back({"speed button", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kSpeedButton) && Gate(s, xcSpeedButton); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::SpeedButton, AttachWay::Graphic, false, "speed button"); }});
        r.push_back({"panel", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kPanel) && Gate(s, xcPanel); },
                     [](const ControlFacts&, const RuleSettings&) {
                         SkinPlan p = Plan(SkinClass::Box, AttachWay::Control, true, "panel");
                         p.children = ChildRule::SkinChildren;
                         return p; }});
        r.push_back({"TDXTREELIST", [](const ControlFacts&, const std::string& n, const RuleSettings& s) {
                         return Named(n, {"TDXTREELIST", "TDXDBTREELIST", "TDXDBGRID"}) && Gate(s, xcScrollbar); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Scrollbar, AttachWay::Scroll, false, "TDXTREELIST"); }});
        r.push_back({"list view", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kListView) && Gate(s, xcScrollbar); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::ListView, AttachWay::Scroll, false, "list view"); }});
        r.push_back({"memo", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kMemo) && Gate(s, xcScrollbar); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Scrollbar, AttachWay::Scroll, false, "memo"); }});
        r.push_back({"second scrolling class", [](const ControlFacts& c, const std::string&, const RuleSettings& s) {
                         return (c.kinds & kSecondScrolling) && Gate(s, xcScrollbar); },
                     [](const ControlFacts&, const RuleSettings&) {
                         SkinPlan p = Plan(SkinClass::Scrollbar, AttachWay::Scroll, false, "second scrolling class");
                         p.faceColourProperty = true;
                         return p; }});
        r.push_back({"scrolling control", [](const ControlFacts& c, const std::string&, const RuleSettings& s) {
                         return IsScrollingControlFacts(c) && Gate(s, xcScrollbar); },
                     [](const ControlFacts& c, const RuleSettings&) {
                         SkinPlan p = Plan(SkinClass::Scrollbar, AttachWay::Scroll, false, "scrolling control");
                         // A scroll box's cells are its own components: they are skinned too.
                         if (c.kinds & kScrollBox) p.children = ChildRule::SkinChildren;
                         return p; }});
        r.push_back({"push button", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kButton) && Gate(s, xcButton); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Button, AttachWay::Control, false, "push button"); }});
        r.push_back({"edit", [](const ControlFacts& c, const std::string&, const RuleSettings& s) { return (c.kinds & kEdit) && Gate(s, xcEdit); },
                     [](const ControlFacts&, const RuleSettings&) { return Plan(SkinClass::Edit, AttachWay::Handle, false, "edit"); }});
        r.push_back({"container", [](const ControlFacts&, const std::string& n, const RuleSettings&) { return !Named(n, {"TDCEDIT", "TDCDBEDIT"}); },
                     [](const ControlFacts& c, const RuleSettings&) {
                         if (c.kinds & kContainer) {
                             SkinPlan p = Nothing("container");
                             p.children = ChildRule::SkinChildren;
                             return p;
                         }
                         if (c.kinds & kForm) {
                             SkinPlan p = Plan(SkinClass::Box, AttachWay::Control, true, "embedded form");
                             p.children = ChildRule::SkinChildren;
                             return p;
                         }
                         return Nothing("no rule"); }});
        r.push_back({"TDCEDIT", [](const ControlFacts&, const std::string&, const RuleSettings&) { return true; },
                     [](const ControlFacts& c, const RuleSettings& s) {
                         if (c.numButtons == 1 && Gate(s, xcCombo)) return Plan(SkinClass::ComBox, AttachWay::Control, false, "TDCEDIT");
                         if (c.numButtons == 0 && Gate(s, xcEdit)) return Plan(SkinClass::Edit, AttachWay::Handle, false, "TDCEDIT");
                         return Nothing("TDCEDIT"); }});
        return r;
    }();
    return rows;
}

}  // namespace

const char* SkinClassName(SkinClass c) {
    static constexpr std::array<const char*, 23> names = {
        "", "TSkinBox", "TSkinBoxH", "TSkinGroupBox", "TSkinSizer", "TSkinStatusBar", "TSkinButton", "TSkinBitButton",
        "TSkinSpeedButton", "TSkinCheckBox", "TSkinRadioButton", "TSkinObjImage", "TSkinComBox", "TSkinEdit", "TSkinTab",
        "TSkinTab31", "TSkinTrackBar", "TSkinUpDown", "TSkinProgress", "TSkinScControl", "TSkinScrollbar",
        "TSkinScrollbarH", "TSkinListView"};
    return names.at(static_cast<size_t>(c));
}

bool IsScrollingControlFacts(const ControlFacts& c) {
    if ((c.kinds & kWindowed) && (c.style & (0x200000u | 0x100000u))) return true;
    return (c.kinds & (kMemo | kListBox | kScrollBox)) != 0 || c.tag == 55;
}

std::optional<std::string> Skin3rdKind(const std::vector<std::string>& lines, std::string_view className) {
    const std::string key = LowerAscii(className) + "=";
    for (const std::string& line : lines) {
        const std::string lower = LowerAscii(line);
        if (lower.starts_with(key)) return lower.substr(key.size(), 50);
    }
    return std::nullopt;
}

SkinPlan Skin3rdPlan(const std::string& kind, const RuleSettings& s) {
    const std::string rule = "Skin3rd " + kind;
    auto when = [&](bool gate, SkinPlan p) { return gate ? p : Nothing(rule); };
    if (kind == "combobox") return when(Gate(s, xcCombo), Plan(SkinClass::ComBox, AttachWay::Control, false, rule));
    if (kind == "edit") return when(Gate(s, xcEdit), Plan(SkinClass::Edit, AttachWay::Handle, false, rule));
    if (kind == "radiobutton") return when(Gate(s, xcRadioButton), Plan(SkinClass::RadioButton, AttachWay::Control, false, rule));
    if (kind == "panel") {
        SkinPlan p = Plan(SkinClass::Box, AttachWay::Control, true, rule);
        p.setProperties = {{"Transparent", "True"}};
        return when(Gate(s, xcPanel), p);
    }
    if (kind == "trackbar") {
        SkinPlan p = Plan(SkinClass::TrackBar, AttachWay::Control, false, rule);
        p.setProperties = {{"Transparent", "True"}};
        return when(Gate(s, xcButton), p);
    }
    if (kind == "button") return when(Gate(s, xcButton), Plan(SkinClass::Button, AttachWay::Control, false, rule));
    if (kind == "bitbtn") return when(Gate(s, xcButton), Plan(SkinClass::BitButton, AttachWay::Control, false, rule));
    if (kind == "speedbutton") return when(Gate(s, xcSpeedButton), Plan(SkinClass::SpeedButton, AttachWay::Graphic, false, rule));
    if (kind == "tab") return when(Gate(s, xcTab) && s.hasTabs, Plan(SkinClass::Tab, AttachWay::Handle, false, rule));
    if (kind == "progress") return when(Gate(s, xcProgress), Plan(SkinClass::Progress, AttachWay::Control, false, rule));
    if (kind == "scrollbar") {
        SkinPlan p = Plan(SkinClass::Scrollbar, AttachWay::Scroll, false, rule);
        p.children = ChildRule::SkinChildren;
        return when(Gate(s, xcScrollbar), p);
    }
    if (kind == "embedscrollbar") {
        SkinPlan p = Nothing(rule);
        p.children = ChildRule::EmbedScroll;
        return when(Gate(s, xcScrollbar), p);
    }
    if (kind == "container") {
        SkinPlan p = Nothing(rule);
        p.children = ChildRule::Skin3rdEach;
        return p;
    }
    if (kind == "groupbox") return when(Gate(s, xcGroupBox), Plan(SkinClass::GroupBox, AttachWay::Control, true, rule));
    if (kind == "radiogroup") {
        SkinPlan p = Plan(SkinClass::GroupBox, AttachWay::Control, true, rule);
        if (Gate(s, xcRadioButton)) p.children = ChildRule::AllRadio;
        p.childrenFirst = true;
        return when(Gate(s, xcGroupBox), p);
    }
    if (kind == "checkgroup") {
        SkinPlan p = Plan(Gate(s, xcGroupBox) ? SkinClass::GroupBox : SkinClass::None, AttachWay::Control, true, rule);
        if (Gate(s, xcRadioButton)) p.children = ChildRule::AllCheck;
        p.childrenFirst = true;
        return when(Gate(s, xcPanel), p);
    }
    if (kind == "checkbox") return when(Gate(s, xcCheckBox), Plan(SkinClass::CheckBox, AttachWay::Control, false, rule));
    return Nothing(rule);
}

SkinPlan DecideControlSkin(const ControlFacts& c, const RuleSettings& s) {
    const std::intptr_t mod = c.tag % 100;
    if (mod == s.disableTag) {
        SkinPlan p = Nothing("DisableTag");
        p.skip = true;
        return p;
    }
    if (s.skin3rd != nullptr) {
        if (std::optional<std::string> kind = Skin3rdKind(*s.skin3rd, c.className)) {
            SkinPlan p = Skin3rdPlan(*kind, s);
            if (*kind == "nil") p.skip = true;
            return p;
        }
    }
    const std::string upper = UpperAscii(c.className);
    if (Named(upper, {"TDBCOMBOBOXEH", "TQRPREVIEW", "TFRDESIGNERPAGE", "TFRPBOX"})) {
        SkinPlan p = Nothing("never skinned");
        p.skip = true;
        return p;
    }
    for (const Row& row : Rows()) {
        if (row.matches(c, upper, s)) return row.act(c, s);
    }
    return Nothing("no rule");
}

SkinClass RawButtonSkin(std::uint32_t style) {
    switch (style & 0xF) {  // BS_TYPEMASK
        case 0: case 1: return SkinClass::Button;                 // push, default push
        case 2: case 3: case 5: case 6: return SkinClass::CheckBox;  // check, auto check, 3-state, auto 3-state
        case 4: case 9: return SkinClass::RadioButton;            // radio, auto radio
        default: return SkinClass::None;                          // group box, owner-drawn, split, command links...
    }
}

SkinClass RawWindowSkin(std::string_view className, std::uint32_t style) {
    struct Entry {
        const char* name;
        SkinClass skin;
    };
    static constexpr std::array<Entry, 6> plain = {{{"comboboxex32", SkinClass::ComBox},
                                                    {"scrollbar", SkinClass::Sizer},
                                                    {"systreeview32", SkinClass::None},
                                                    {"#32770", SkinClass::BoxH},
                                                    {"toolbarwindow32", SkinClass::None},
                                                    {"edit", SkinClass::Edit}}};
    const std::string name = LowerAscii(className);
    if (name == "button") return RawButtonSkin(style);
    if (name == "combobox") return (style & 3) == 1 ? SkinClass::None : SkinClass::ComBox;  // a simple combo: none
    for (const Entry& e : plain) {
        if (name == e.name) return e.skin;
    }
    return SkinClass::None;
}

}  // namespace skin
