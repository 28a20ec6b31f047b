#include "skin/controls/property_access.h"

#include <windows.h>

#include <vector>

#include "forms/portable/properties.h"
#include "forms/portable/text_case.h"

namespace skin {

std::int64_t GetOrdPropByName(const forms::TObject* object, std::string_view name) {
    const forms::TPropInfo* p = forms::FindPropInfo(object, name);
    if (p == nullptr || p->Kind != forms::TPropKind::Integer) return 0;
    return forms::GetOrdProp(object, name);
}

std::string GetEnumPropByName(const forms::TObject* object, std::string_view name) {
    return forms::GetEnumProp(object, name);
}

std::string EnumLower(const forms::TObject* object, std::string_view name) {
    return forms::LowerAscii(GetEnumPropByName(object, name));
}

std::wstring GetWidePropByName(const forms::TObject* object, std::string_view name) {
    const std::string text = forms::GetStrProp(object, name);
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

forms::TObject* GetObjectPropByName(const forms::TObject* object, std::string_view name) {
    return forms::GetObjectProp(object, name);
}

bool SetPropByName(forms::TObject* object, std::string_view name, std::string_view value) {
    return forms::SetPropByName(object, name, value);
}

}  // namespace skin
