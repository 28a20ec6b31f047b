// Reads a skin's description text into fresh elements, loading the bitmaps it names from the
// skin's archive. Plain pixels throughout: the Win32 side turns them into bitmaps.
#pragma once
#include <cstddef>
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

// What the pictures of one skin may take once decoded, cut, mirrored and built; the stored
// skins take well under a megabyte.
constexpr std::size_t kMaxSkinPixelBytes = 32u << 20;
inline constexpr const char* kSkinTooLargeMessage =
    "This skin was not loaded: its pictures would take more than 32 MB of memory.";
// Caption buttons a skin may have: the stored skins have three.
constexpr std::size_t kMaxCaptionButtons = 64;
inline constexpr const char* kTooManyCaptionButtonsMessage =
    "This skin was not loaded: it has more than 64 caption buttons.";

// scrollBarWidth is the platform's SM_CXHSCROLL, which sizes the combo button's part.
// nullopt, with the message to showMessage, for a skin past kMaxSkinPixelBytes or
// kMaxCaptionButtons.
std::optional<SkinElements> ParseSkin(const TQuickIni& ini, TSkinReader& reader, int scrollBarWidth,
                                      const std::function<void(const std::string&)>& showMessage);

// Unpacks skinStream, finds its INI text and parses it; nullopt when the archive or its
// pictures are refused (the message goes to showMessage).
std::optional<SkinElements> LoadSkinElements(forms::TMemoryStream& skinStream,
                                             const std::function<void(const std::string&)>& showMessage,
                                             int scrollBarWidth);

// The loaded half of the skin data: the elements of the last skin parsed whole, and the no-skin
// flag, set from the start of every load until a parse completes.
class LoadedSkin {
public:
    // A good skin replaces every element at once, so no mixture of two skins is ever seen. A
    // refused one keeps the previous elements, and the flag is cleared again when there are
    // any: the current skin stays in place.
    bool Load(forms::TMemoryStream& skinStream, const std::function<void(const std::string&)>& showMessage,
              int scrollBarWidth);

    bool noSkin = true;
    SkinElements elements;

private:
    bool parsed_ = false;
};

}  // namespace skin
