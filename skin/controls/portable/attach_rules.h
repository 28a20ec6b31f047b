// Which control skin a child control gets: the rule chain over the form library's controls
// (by kind, by class name, by the Skin3rd list), the rules for raw child windows by window
// class, and the button type of a raw "button" window. Pure: the caller reads the control.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skin {

// The control skins, and "none".
enum class SkinClass {
    None, Box, BoxH, GroupBox, Sizer, StatusBar, Button, BitButton, SpeedButton, CheckBox, RadioButton, ObjImage,
    ComBox, Edit, Tab, Tab31, TrackBar, UpDown, Progress, ScControl, Scrollbar, ScrollbarH, ListView,
};
const char* SkinClassName(SkinClass c);  // "TSkinButton" ..., "" for None

// How the control skin is attached.
enum class AttachWay { Control, Handle, Scroll, Graphic, ScrollBarControl };

// What happens to the control's own children.
enum class ChildRule {
    None,
    SkinChildren,     // the rule chain for each of them
    AllRadio,         // each gets TSkinRadioButton (colour 0)
    AllCheck,         // each gets TSkinCheckBox (colour 0)
    Skin3rdEach,      // each by its own Skin3rd line only
    EmbedScroll,      // scroll-bar controls and scrolling controls among them
};

// The kinds of the form library a control is, or descends from (bit set).
enum ControlKindBit : std::uint32_t {
    kTabControl = 1u << 0,   // the tab-control base, page controls included
    kMainMenuCarrier = 1u << 1,
    kCheckBox = 1u << 2,
    kRadioGroup = 1u << 3,
    kGroupBox = 1u << 4,
    kRadioButton = 1u << 5,
    kToolBar = 1u << 6,
    kStatusBar = 1u << 7,
    kProgressBar = 1u << 8,
    kScrollBar = 1u << 9,
    kComboBox = 1u << 10,
    kBitButton = 1u << 11,
    kSpeedButton = 1u << 12,
    kPanel = 1u << 13,
    kListView = 1u << 14,
    kMemo = 1u << 15,
    kSecondScrolling = 1u << 16,
    kButton = 1u << 17,
    kEdit = 1u << 18,
    kContainer = 1u << 19,   // a control class that holds controls
    kForm = 1u << 20,        // an embedded form
    kWindowed = 1u << 21,
    kListBox = 1u << 22,
    kScrollBox = 1u << 23,
};

// What the rules read of one control.
struct ControlFacts {
    std::string className;       // as the class names itself ("TButton")
    std::uint32_t kinds = 0;     // ControlKindBit
    std::intptr_t tag = 0;
    std::uint32_t style = 0;     // its window style (scroll bars)
    bool pickerUpDownOrTime = false;  // a date-time picker in up-down mode or editing a time
    int numButtons = -1;         // the "NumButtons" property, -1 when none
};

// The skin settings the rules read.
struct RuleSettings {
    int disableTag = 99;
    std::uint32_t skinControls = 0;  // bit n = TSkinControlType n
    const std::vector<std::string>* skin3rd = nullptr;
    bool hasTabs = false;            // the skin has a Tabs element
};

// One decision: the skin and how to attach it, properties set first, what the children get.
struct SkinPlan {
    SkinClass skin = SkinClass::None;
    AttachWay way = AttachWay::Control;
    bool colour = false;                 // the control takes the face colour while skinned
    bool faceColourProperty = false;     // its Color is set to the face colour besides
    std::vector<std::pair<std::string, std::string>> setProperties;
    ChildRule children = ChildRule::None;
    bool childrenFirst = false;          // children are done before the control's own skin
    bool childrenGroupBox = true;        // checkgroup: the group box only with xcGroupBox
    bool ownerDrawMenu = false;          // the items of the control's menu drawn by the skin
    bool customDrawButtons = false;      // a tool bar's buttons drawn by the form skin, unless drawn by their own
    bool skip = false;                   // exempt or never skinned: nothing at all
    std::string rule;                    // which rule decided, for tests and logs
};

// The rule chain for one control of the form library (its exemption by Tag included; the
// caller has already asked whether it is skinned).
SkinPlan DecideControlSkin(const ControlFacts& control, const RuleSettings& settings);

// The Skin3rd kind for a class ("nil", "edit" ...), lower case; nullopt when no line names it.
std::optional<std::string> Skin3rdKind(const std::vector<std::string>& lines, std::string_view className);
// The plan a Skin3rd kind gives (skin None for "nil" and kinds without a row).
SkinPlan Skin3rdPlan(const std::string& kind, const RuleSettings& settings);

// True when the control is a scrolling one: a scroll style, a memo, list box or scroll box,
// or Tag 55.
bool IsScrollingControlFacts(const ControlFacts& control);

// The control skin of a raw "button" window by its button type (style & BS_TYPEMASK).
SkinClass RawButtonSkin(std::uint32_t style);
// The control skin of a raw child window by its class name (any case) and style.
// "comboboxex32" answers ComBox: the caller attaches it to the window's first child.
SkinClass RawWindowSkin(std::string_view className, std::uint32_t style);

}  // namespace skin
