#include "skin/resource_stream.h"

#include "forms/portable/exceptions.h"
#include "skin/skin_data.h"

namespace skin {

void ReadSkinResource(HMODULE module, const std::string& name, forms::TMemoryStream& target) {
    HRSRC info = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
    const void* bytes = handle ? LockResource(handle) : nullptr;
    if (!bytes) throw forms::EInvalidOperation("No skin resource " + name);
    target.Clear();
    target.WriteBuffer(bytes, SizeofResource(module, info));
    target.SetPosition(0);
}

void LoadSkinDataResource(HMODULE module, TSkinData& data) {
    ReadSkinResource(module, kSkinDataResource, data.SkinStream());
    data.LoadSkin();
}

}  // namespace skin
