#include "tests/support/jpeg_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <stdexcept>

#include <jpeglib.h>

namespace testsupport {

JpegBytes FourComponentJpeg(bool ycck) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = 16;
    cinfo.image_height = 8;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, ycck ? JCS_YCCK : JCS_CMYK);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(16 * 4, 0x40);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    JpegBytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

JpegBytes WithFrameSize(JpegBytes jpeg, int width, int height) {
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            // marker, 2-byte length, precision, then height and width
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return jpeg;
        }
    }
    throw std::invalid_argument("no frame header in the JPEG");
}

JpegBytes WithExifOrientation(const JpegBytes& jpeg, int orientation, bool bigEndian) {
    if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) throw std::invalid_argument("not a JPEG file");
    JpegBytes tiff;
    auto put16 = [&](unsigned v) {
        const std::uint8_t hi = static_cast<std::uint8_t>(v >> 8), lo = static_cast<std::uint8_t>(v);
        tiff.insert(tiff.end(), bigEndian ? std::initializer_list<std::uint8_t>{hi, lo} : std::initializer_list<std::uint8_t>{lo, hi});
    };
    auto put32 = [&](unsigned v) {
        if (bigEndian) { put16(v >> 16); put16(v & 0xFFFF); }
        else { put16(v & 0xFFFF); put16(v >> 16); }
    };
    tiff.push_back(bigEndian ? 'M' : 'I');
    tiff.push_back(bigEndian ? 'M' : 'I');
    put16(42);
    put32(8);  // IFD0 right after the header
    put16(2);  // two entries: another tag first, so the orientation is searched for
    put16(0x011A); put16(5); put32(1); put32(38);  // XResolution, a RATIONAL held elsewhere
    put16(0x0112); put16(3); put32(1); put16(static_cast<unsigned>(orientation)); put16(0);
    put32(0);  // no next IFD
    put32(72); put32(1);  // the XResolution value, at offset 38
    JpegBytes segment = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    const std::size_t length = segment.size() - 2;
    segment[2] = static_cast<std::uint8_t>(length >> 8);
    segment[3] = static_cast<std::uint8_t>(length);
    JpegBytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

JpegBytes GradientPhoto(int width, int height, const forms::JpegEncodeOptions& options) {
    forms::PixelBuffer pixels(width, height, 3);
    for (int y = 0; y < height; ++y) {
        auto* p = pixels.row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = static_cast<std::uint8_t>(x * 255 / width);
            p[1] = static_cast<std::uint8_t>(y * 255 / height);
            p[2] = static_cast<std::uint8_t>((x + y) & 0xFF);
        }
    }
    return forms::EncodeJpeg(pixels.view(), options);
}

}  // namespace testsupport
