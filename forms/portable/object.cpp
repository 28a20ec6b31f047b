#include "forms/portable/object.h"

#include "forms/portable/properties.h"
#include "forms/portable/text_case.h"

namespace forms {

const TClassInfo& TObject::StaticClass() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

const TClassInfo& TObject::ClassInfo() const { return StaticClass(); }

std::string TObject::ClassName() const { return ClassInfo().Name(); }

bool TObject::InheritsFromName(const std::string& className) const {
    if (SameTextAscii(ClassName(), className)) return true;
    for (const TClassInfo* c = &ClassInfo(); c != nullptr; c = c->Parent()) {
        if (SameTextAscii(c->Name(), className)) return true;
    }
    return false;
}

}  // namespace forms
