// JPEG files that our own codec cannot or must not write, made for tests at run time.
#pragma once

#include <cstdint>
#include <vector>

#include "forms/portable/jpeg_codec.h"

namespace testsupport {

using JpegBytes = std::vector<std::uint8_t>;

// A 16 x 8 four-component file: CMYK, or YCCK when ycck is set (straight from libjpeg).
JpegBytes FourComponentJpeg(bool ycck);
// The same file with another picture size written into its frame header (SOF0 or SOF2), as
// a damaged or hostile file announces; raises when the file has no frame header.
JpegBytes WithFrameSize(JpegBytes jpeg, int width, int height);

// The file with an Exif APP1 segment right after its start marker whose IFD0 holds an
// orientation tag of the given value, in big-endian ("MM") or little-endian ("II") order.
JpegBytes WithExifOrientation(const JpegBytes& jpeg, int orientation, bool bigEndian);

// A camera-sized stand-in: a smooth colour gradient (red across, green down) of the given size.
JpegBytes GradientPhoto(int width, int height, const forms::JpegEncodeOptions& options = {});

}  // namespace testsupport
