// Reads a skin's description text into fresh elements, loading the bitmaps it names from the
// skin's archive. Plain pixels throughout: the Win32 side turns them into bitmaps.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "forms/portable/streams.h"
#include "skin/portable/quick_ini.h"
#include "skin/portable/skin_elements.h"
#include "skin/portable/skin_reader.h"

namespace skin {

// Width of the combo strip's frames and its height.
constexpr int kComboStripFrameWidth = 50;
constexpr int kComboStripHeight = 21;

// scrollBarWidth is the platform's SM_CXHSCROLL, which sizes the combo button's part.
SkinElements ParseSkin(const TQuickIni& ini, TSkinReader& reader, int scrollBarWidth);

// Unpacks skinStream, finds its INI text and parses it; nullopt when the archive is refused
// (the wrong-version message goes to showMessage).
std::optional<SkinElements> LoadSkinElements(forms::TMemoryStream& skinStream,
                                             const std::function<void(const std::string&)>& showMessage,
                                             int scrollBarWidth);

// The loaded half of the skin data: the elements of the last skin parsed whole, and the no-skin
// flag, set from the start of every load until a parse completes.
class LoadedSkin {
public:
    // A refused archive keeps the previous elements and leaves the flag set; a good one
    // replaces every element at once, so no mixture of two skins is ever seen.
    bool Load(forms::TMemoryStream& skinStream, const std::function<void(const std::string&)>& showMessage,
              int scrollBarWidth);

    bool noSkin = true;
    SkinElements elements;
};

}  // namespace skin
