#include "skin/controls/attach_controls.h"

#include <array>
#include <exception>
#include <vector>

#include "forms/bit_btn.h"
#include "forms/check_box.h"
#include "forms/combo_box.h"
#include "forms/date_time_picker.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/group_box.h"
#include "forms/list_box.h"
#include "forms/list_view.h"
#include "forms/menus.h"
#include "forms/page_control.h"
#include "forms/panel.h"
#include "forms/progress_bar.h"
#include "forms/button.h"
#include "forms/portable/properties.h"
#include "forms/portable/text_case.h"
#include "forms/scroll_bar.h"
#include "forms/scroll_box.h"
#include "forms/speed_button.h"
#include "forms/status_bar.h"
#include "forms/tool_bar.h"
#include "forms/win_control.h"
#include "skin/controls/bar_skins.h"
#include "skin/controls/bit_button_skins.h"
#include "skin/controls/box_skins.h"
#include "skin/controls/button_skins.h"
#include "skin/controls/combo_skins.h"
#include "skin/controls/list_view_skins.h"
#include "skin/controls/obj_image_skin.h"
#include "skin/controls/status_bar_skin.h"
#include "skin/skin_messages.h"
#include "skin/controls/property_access.h"
#include "skin/controls/scroll_skins.h"
#include "skin/controls/tab_skins.h"
#include "skin/controls/updown_skins.h"
#include "skin/controls/skin_control.h"
#include "skin/skin_data.h"

namespace skin {

namespace {

template <class T> bool Is(const forms::TControl& c) { return dynamic_cast<const T*>(&c) != nullptr; }

RuleSettings SettingsOf(const TControlSkinList& list) {
    RuleSettings s;
    if (const TSkinData* data = list.Data()) {
        s.disableTag = data->DisableTag;
        s.skinControls = data->SkinControls;
        s.skin3rd = &data->Skin3rd;
        s.hasTabs = data->Elements().Part("Tabs") != nullptr;
    }
    return s;
}

std::vector<forms::TControl*> OwnedControls(forms::TComponent& owner) {
    std::vector<forms::TControl*> controls;
    for (forms::TComponent* c : owner.ComponentList()) {
        if (auto* control = dynamic_cast<forms::TControl*>(c)) controls.push_back(control);
    }
    return controls;
}

std::vector<forms::TControl*> ChildControls(forms::TControl& control) {
    auto* w = dynamic_cast<forms::TWinControl*>(&control);
    return w != nullptr ? w->ControlList() : std::vector<forms::TControl*>{};
}

void Attach(TControlSkinList& list, forms::TControl& control, SkinClass skinClass, AttachWay way, bool colour) {
    auto* windowed = dynamic_cast<forms::TWinControl*>(&control);
    if (way == AttachWay::Graphic) {
        if (windowed != nullptr || skinClass != SkinClass::SpeedButton) return;
        auto* skin = new TSkinSpeedButton(&control);
        skin->AttachGraphicControl(&list, list.Data());
        return;
    }
    if (windowed == nullptr) return;
    TSkinControl* skin = CreateControlSkin(skinClass, &control);
    if (skin == nullptr) return;
    switch (way) {
        case AttachWay::Handle: skin->AttachHandle(windowed->Handle(), list.Data(), &list); break;
        case AttachWay::Scroll:
            if (auto* scroll = dynamic_cast<TSkinScrollbar*>(skin)) scroll->AttachScrollControl(&list, list.Data());
            break;
        case AttachWay::ScrollBarControl:
            if (auto* bar = dynamic_cast<TSkinScControl*>(skin)) bar->AttachScrollBarControl(&list, list.Data());
            break;
        default: skin->AttachControl(&list, list.Data(), colour); break;
    }
}

void RunPlan(TControlSkinList& list, forms::TControl& control, const SkinPlan& plan);

// The menu a control carries, nullptr when none.
forms::TMenuItem* MenuItemsOf(forms::TControl& control) {
    if (auto* bar = dynamic_cast<forms::TToolBar*>(&control); bar != nullptr && bar->Menu() != nullptr) return bar->Menu()->Items();
    return nullptr;
}

void HandMenuAndButtons(TControlSkinList& list, forms::TControl& control, const SkinPlan& plan) {
    if (plan.ownerDrawMenu && list.OwnerDrawMenuItems) {
        if (forms::TMenuItem* items = MenuItemsOf(control)) list.OwnerDrawMenuItems(*items);
    }
    auto* bar = dynamic_cast<forms::TToolBar*>(&control);
    if (plan.customDrawButtons && bar != nullptr && !bar->OnCustomDrawButton && list.CustomDrawToolButton) {
        bar->OnCustomDrawButton = [draw = list.CustomDrawToolButton](forms::TToolBar*, NMTBCUSTOMDRAW& d) { return draw(d); };
        // Drawn once already without it.
        if (bar->HandleAllocated()) InvalidateRect(bar->WindowHandle(), nullptr, TRUE);
    }
}

void SkinChildren(TControlSkinList& list, forms::TControl& control, const SkinPlan& plan) {
    switch (plan.children) {
        case ChildRule::None: break;
        case ChildRule::SkinChildren: SkinChildControls(list, control); break;
        case ChildRule::AllRadio:
        case ChildRule::AllCheck:
            for (forms::TControl* child : ChildControls(control)) {
                if (IsControlSkinned(list, *child)) continue;
                Attach(list, *child, plan.children == ChildRule::AllRadio ? SkinClass::RadioButton : SkinClass::CheckBox,
                       AttachWay::Control, false);
            }
            break;
        case ChildRule::Skin3rdEach: {
            const RuleSettings s = SettingsOf(list);
            for (forms::TControl* child : ChildControls(control)) {
                if (s.skin3rd == nullptr) break;
                if (IsControlSkinned(list, *child)) continue;  // reached by its owner's walk first
                if (auto kind = Skin3rdKind(*s.skin3rd, child->ClassInfo().Name())) RunPlan(list, *child, Skin3rdPlan(*kind, s));
            }
            break;
        }
        case ChildRule::EmbedScroll:
            for (forms::TControl* child : ChildControls(control)) {
                if (IsControlSkinned(list, *child)) continue;
                if (FactsOf(*child).kinds & kScrollBar) Attach(list, *child, SkinClass::ScControl, AttachWay::ScrollBarControl, false);
                else if (IsScrollingControl(*child)) Attach(list, *child, SkinClass::Scrollbar, AttachWay::Scroll, false);
            }
            break;
    }
}

void RunPlan(TControlSkinList& list, forms::TControl& control, const SkinPlan& plan) {
    if (plan.skip) return;
    for (const auto& [name, value] : plan.setProperties) skin::SetPropByName(&control, name, value);
    HandMenuAndButtons(list, control, plan);
    if (plan.faceColourProperty && list.Data() != nullptr)
        control.SetColor(static_cast<forms::TColor>(forms::ColorToRGB(static_cast<forms::TColor>(list.Data()->Elements().colours.ButtonFace))));
    if (plan.childrenFirst) SkinChildren(list, control, plan);
    if (plan.skin != SkinClass::None) Attach(list, control, plan.skin, plan.way, plan.colour);
    if (!plan.childrenFirst) SkinChildren(list, control, plan);
}

}  // namespace

TSkinControl* CreateControlSkin(SkinClass skin, forms::TComponent* owner) {
    switch (skin) {
        case SkinClass::Box: return new TSkinBox(owner);
        case SkinClass::BoxH: return new TSkinBoxH(owner);
        case SkinClass::GroupBox: return new TSkinGroupBox(owner);
        case SkinClass::Sizer: return new TSkinSizer(owner);
        case SkinClass::Button: return new TSkinButton(owner);
        case SkinClass::CheckBox: return new TSkinCheckBox(owner);
        case SkinClass::RadioButton: return new TSkinRadioButton(owner);
        case SkinClass::Edit: return new TSkinEdit(owner);
        case SkinClass::ComBox: return new TSkinComBox(owner);
        case SkinClass::Scrollbar: return new TSkinScrollbar(owner);
        case SkinClass::Tab: return new TSkinTab(owner);
        case SkinClass::UpDown: return new TSkinUpDown(owner);
        case SkinClass::StatusBar: return new TSkinStatusBar(owner);
        case SkinClass::BitButton: return new TSkinBitButton(owner);
        case SkinClass::SpeedButton: return new TSkinSpeedButton(owner);
        case SkinClass::ObjImage: return new TSkinObjImage(owner);
        case SkinClass::Tab31: return new TSkinTab31(owner);
        case SkinClass::TrackBar: return new TSkinTrackBar(owner);
        case SkinClass::Progress: return new TSkinProgress(owner);
        case SkinClass::ScControl: return new TSkinScControl(owner);
        case SkinClass::ListView: return new TSkinListView(owner);
        case SkinClass::ScrollbarH: return new TSkinScrollbarH(owner);
        default: return nullptr;
    }
}

ControlFacts FactsOf(const forms::TControl& c) {
    ControlFacts f;
    f.className = c.ClassInfo().Name();
    f.tag = c.Tag();
    struct KindTest {
        bool (*test)(const forms::TControl&);
        std::uint32_t bit;
    };
    static constexpr std::array<KindTest, 22> tests = {{
        {&Is<forms::TCustomTabControl>, kTabControl},
        // A page paints its own background, which the labels and boxes on it take: it is
        // recoloured like a panel.
        {&Is<forms::TTabSheet>, kPanel},
        {&Is<forms::TCustomCheckBox>, kCheckBox},
        {&Is<forms::TCustomGroupBox>, kGroupBox},
        {&Is<forms::TRadioButton>, kRadioButton},
        {&Is<forms::TCustomComboBox>, kComboBox},
        {&Is<forms::TCustomPanel>, kPanel},
        {&Is<forms::TCustomMemo>, kMemo},
        {&Is<forms::TButton>, kButton},
        {&Is<forms::TCustomEdit>, kEdit},
        {&Is<forms::TForm>, kForm},
        {&Is<forms::TWinControl>, kWindowed},
        {&Is<forms::TCustomListBox>, kListBox},
        {&Is<forms::TScrollBox>, kScrollBox},
        {&Is<forms::TScrollingWinControl>, 0},
        {&Is<forms::TToolBar>, kToolBar},
        {&Is<forms::TStatusBar>, kStatusBar},
        {&Is<forms::TProgressBar>, kProgressBar},
        {&Is<forms::TScrollBar>, kScrollBar},
        {&Is<forms::TBitBtn>, kBitButton},
        {&Is<forms::TSpeedButton>, kSpeedButton},
        {&Is<forms::TListView>, kListView},
    }};
    for (const KindTest& t : tests) {
        if (t.test(c)) f.kinds |= t.bit;
    }
    if (f.kinds & kForm) f.kinds &= ~kScrollBox;
    if (const auto* w = dynamic_cast<const forms::TWinControl*>(&c); w != nullptr && w->HandleAllocated())
        f.style = static_cast<std::uint32_t>(GetWindowLongPtrA(w->WindowHandle(), GWL_STYLE));
    if (const auto* picker = dynamic_cast<const forms::TDateTimePicker*>(&c))
        f.pickerUpDownOrTime = picker->DateMode() == forms::dmUpDown || picker->Kind() == forms::dtkTime;
    if (forms::FindPropInfo(&c, "NumButtons") != nullptr) f.numButtons = static_cast<int>(GetOrdPropByName(&c, "NumButtons"));
    return f;
}

bool IsScrollingControl(const forms::TControl& control) { return IsScrollingControlFacts(FactsOf(control)); }

bool IsControlSkinned(const TControlSkinList& list, const forms::TControl& control) {
    if (list.IsListed(&control)) return true;
    const auto* w = dynamic_cast<const forms::TWinControl*>(&control);
    return w != nullptr && w->HandleAllocated() && SendMessageA(w->WindowHandle(), kMsgSkinnedQuery, 0, 0) == 1;
}

void SkinChildControls(TControlSkinList& list, forms::TComponent& owner) {
    list.FreeDead();
    for (forms::TControl* control : OwnedControls(owner)) SkinChildControl(list, *control, owner);
}

void SkinChildControl(TControlSkinList& list, forms::TControl& control, forms::TComponent& owner) {
    const RuleSettings s = SettingsOf(list);
    if (control.Tag() % 100 == s.disableTag) return;
    auto* w = dynamic_cast<forms::TWinControl*>(&control);
    // A cell out of a view's sight: skinned once its window is made (its container hears of it).
    if (w != nullptr && w->WindowLeftForLater()) return;
    if (IsControlSkinned(list, control)) return;
    // An MDI child is owned by its parent form yet framed on its own: it gets a form skin.
    if (const auto* form = dynamic_cast<const forms::TForm*>(&control); form != nullptr && form->FormStyle() == forms::fsMDIChild)
        return;
    if (w != nullptr) {
        try {
            w->HandleNeeded();
        } catch (const std::exception&) {
            return;  // a control whose window cannot be made stays as it is
        }
    }
    if (TSkinData* data = list.Data(); data != nullptr && data->OnSkinControl) {
        TSkinControl* skinned = nullptr;
        data->OnSkinControl(list, *data, owner, control, forms::UpperAscii(control.ClassInfo().Name()), skinned);
        if (skinned != nullptr) {
            if (!list.Contains(skinned)) skinned->AttachControl(&list, data, skinned->ColourControl());
            if (Is<forms::TCustomPanel>(control)) SkinChildControls(list, control);
            return;
        }
    }
    RunPlan(list, control, DecideControlSkin(FactsOf(control), s));
}

void SkinChildForm(TControlSkinList& list, forms::TForm& form) {
    list.FreeDead();
    if (!IsControlSkinned(list, form)) {
        auto* box = new TSkinBox(&form);
        box->AttachControl(&list, list.Data(), true);
    }
    for (forms::TControl* control : OwnedControls(form)) SkinChildControl(list, *control, form);
}

void SkinChildWindows(TControlSkinList& list, HWND parent) {
    list.FreeDead();
    for (HWND child = GetTopWindow(parent); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD) SkinChildWindow(list, child);
    }
}

void SkinChildWindow(TControlSkinList& list, HWND wnd) {
    std::array<char, 101> name{};
    const int length = GetClassNameA(wnd, name.data(), static_cast<int>(name.size()));
    name[static_cast<size_t>(length > 0 ? length : 0)] = '\0';
    const auto style = static_cast<std::uint32_t>(GetWindowLongPtrA(wnd, GWL_STYLE));
    const SkinClass skinClass = RawWindowSkin(name.data(), style);
    HWND target = wnd;
    // An extended combo is skinned through its inner combo: that is the window asked.
    if (forms::LowerAscii(name.data()) == "comboboxex32") {
        target = GetWindow(wnd, GW_CHILD);
        if (target == nullptr) return;
    }
    if (list.FindByHandle(target) != nullptr) return;
    if (SendMessageA(target, kMsgSkinnedQuery, 0, 0) == 1) return;
    TSkinControl* skin = CreateControlSkin(skinClass, nullptr);
    if (skin == nullptr) return;
    skin->AttachHandle(target, list.Data(), &list);
}

}  // namespace skin
