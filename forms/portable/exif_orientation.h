// The orientation a camera records in a JPEG's Exif block: how the stored pixels are to be
// turned or mirrored to show the picture upright.
#pragma once
#include <cstdint>
#include <span>

namespace forms {

// 1: as stored. 2: mirrored left to right. 3: half a turn. 4: mirrored top to bottom.
// 5: mirrored along the main diagonal. 6: a quarter turn clockwise. 7: mirrored along the
// other diagonal. 8: a quarter turn anticlockwise.
constexpr int kUprightOrientation = 1;

// The orientation tag of IFD0 in the payload of an APP1 segment (what follows its length
// field, starting "Exif\0\0"); 1 when the payload is not Exif, the tag is missing, or anything
// about it is malformed. Reads nothing outside the span.
int ExifOrientation(std::span<const std::uint8_t> app1);

}  // namespace forms
