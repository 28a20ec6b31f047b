#include "skin/controls/control_skin_list.h"

#include <algorithm>

#include "forms/portable/text_case.h"
#include "forms/win_control.h"
#include "skin/controls/skin_control.h"

namespace skin {

TControlSkinList::~TControlSkinList() { UnskinAll(); }

bool TControlSkinList::Add(TSkinControl* skin) {
    if (std::find(skins_.begin(), skins_.end(), skin) != skins_.end()) return true;
    skins_.push_back(skin);
    return false;
}

bool TControlSkinList::Contains(const TSkinControl* skin) const {
    return std::find(skins_.begin(), skins_.end(), skin) != skins_.end();
}

void TControlSkinList::Remove(TSkinControl* skin) {
    const auto it = std::find(skins_.rbegin(), skins_.rend(), skin);
    if (it != skins_.rend()) skins_.erase(std::next(it).base());
    if (hotButton_ == skin) hotButton_ = nullptr;
}

void TControlSkinList::FreeDead() {
    for (size_t i = skins_.size(); i-- > 0;) {
        if (i >= skins_.size()) continue;
        TSkinControl* skin = skins_[i];
        if (skin->LifeState() == kLifeDead) delete skin;  // its destructor takes it off the list
    }
}

TSkinControl* TControlSkinList::FindByHandle(HWND wnd) const {
    for (TSkinControl* skin : skins_) {
        if (skin->Handle() == wnd) return skin;
    }
    return nullptr;
}

bool TControlSkinList::IsListed(const forms::TControl* control) const {
    const auto* windowed = dynamic_cast<const forms::TWinControl*>(control);
    for (TSkinControl* skin : skins_) {
        if (skin->WatchedControl() != nullptr && skin->WatchedControl() == control) return true;
        if (skin->Control() != nullptr || skin->GraphicControl() != nullptr) {
            if (skin->Control() == control || skin->GraphicControl() == control) return true;
            continue;
        }
        if (windowed == nullptr) continue;
        if (!windowed->HandleAllocated()) {
            const std::string name = forms::LowerAscii(formName);
            return name.find("preview") != std::string::npos || formName == "TQRStandardPreview" ||
                   formName == "TppPrintPreview" || formName == "TdxfmStdPreview";
        }
        if (skin->Handle() == windowed->WindowHandle()) return true;
    }
    return false;
}

void TControlSkinList::UnskinAll() {
    while (!skins_.empty()) {
        TSkinControl* skin = skins_.back();
        if (skin->LifeState() != kLifeDead) skin->Unskin();
        if (!skins_.empty() && skins_.back() == skin) delete skin;
    }
    hotButton_ = nullptr;
}

void TControlSkinList::RefreshAll() {
    const std::vector<TSkinControl*> copy = skins_;
    for (TSkinControl* skin : copy) {
        if (std::find(skins_.begin(), skins_.end(), skin) != skins_.end()) skin->RefreshSkin();
    }
}

}  // namespace skin
