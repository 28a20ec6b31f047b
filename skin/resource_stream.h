// Skin streams compiled into a program as RCDATA resources, read where form data would hold them.
#pragma once
#include <windows.h>

#include <string>

#include "forms/portable/streams.h"

namespace skin {

class TSkinData;

// The store items of vantrell, in the slider's order.
inline constexpr const char* kSkinStoreItems[] = {"SkinItem0", "SkinItem1", "SkinItem5", "SkinItem7", "SkinItem8", "SkinItem11"};
inline constexpr const char* kSkinDataResource = "SkinData1";

// Replaces target's bytes with the resource's; forms::EInvalidOperation when the module has none.
void ReadSkinResource(HMODULE module, const std::string& name, forms::TMemoryStream& target);

// A window's own skin stream, where its form data would hold it (resource "SkinData1"), loaded.
void LoadSkinDataResource(HMODULE module, TSkinData& data);

}  // namespace skin
