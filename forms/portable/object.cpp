#include "forms/portable/object.h"

#include "forms/portable/properties.h"

namespace forms {

namespace {

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

const TClassInfo& TObject::StaticClass() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

const TClassInfo& TObject::ClassInfo() const { return StaticClass(); }

std::string TObject::ClassName() const { return ClassInfo().Name(); }

bool TObject::InheritsFromName(const std::string& className) const {
    if (SameText(ClassName(), className)) return true;
    for (const TClassInfo* c = &ClassInfo(); c != nullptr; c = c->Parent()) {
        if (SameText(c->Name(), className)) return true;
    }
    return false;
}

}  // namespace forms
