// Reading and writing a control's published properties by name, for skins that do not know
// its class. A null object or a missing property gives 0, an empty text or nullptr.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "forms/portable/object.h"

namespace skin {

// An integer property; 0 for any other kind.
std::int64_t GetOrdPropByName(const forms::TObject* object, std::string_view name);
// An enumeration or boolean property's identifier in its own spelling ("taCenter", "True");
// callers compare it lower-cased.
std::string GetEnumPropByName(const forms::TObject* object, std::string_view name);
// A string property, widened from the code page.
std::wstring GetWidePropByName(const forms::TObject* object, std::string_view name);
// An object property of class T (or a descendant), else nullptr.
forms::TObject* GetObjectPropByName(const forms::TObject* object, std::string_view name);
template <class T> T* GetObjectPropByName(const forms::TObject* object, std::string_view name) {
    return dynamic_cast<T*>(GetObjectPropByName(object, name));
}
// An enumeration from its identifier or an integer from decimal text; other kinds are left alone.
bool SetPropByName(forms::TObject* object, std::string_view name, std::string_view value);
// The lower-cased identifier, for comparing.
std::string EnumLower(const forms::TObject* object, std::string_view name);

}  // namespace skin
