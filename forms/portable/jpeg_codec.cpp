// libjpeg reports a fatal error by calling error_exit, whose default ends the process. Ours
// records the message and longjmps back into the frame that called libjpeg; that frame holds
// no C++ object, so the jump skips no destructor. Only after it has returned is the error
// thrown as EInvalidGraphic, and the RAII holders then release the libjpeg objects.
#include "forms/portable/jpeg_codec.h"

#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include <jpeglib.h>
#include <jerror.h>

#include "forms/portable/atomic_file.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/exif_orientation.h"

namespace forms {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;  // first member: libjpeg hands back a pointer to it
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool endedEarly;     // the premature-end warning was met
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings are counted, never printed; trace messages are dropped.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    ++cinfo->err->num_warnings;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<ErrorManager*>(cinfo->err)->endedEarly = true;
}

void OutputMessage(j_common_ptr) {}

void InstallErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    err.message[0] = '\0';
    err.endedEarly = false;
}

JpegColorSpace ColorSpaceOf(J_COLOR_SPACE space) {
    switch (space) {
        case JCS_GRAYSCALE: return JpegColorSpace::Grayscale;
        case JCS_RGB: return JpegColorSpace::RGB;
        case JCS_YCbCr: return JpegColorSpace::YCbCr;
        case JCS_CMYK: return JpegColorSpace::CMYK;
        case JCS_YCCK: return JpegColorSpace::YCCK;
        default: return JpegColorSpace::Unknown;
    }
}

// Reads a file in chunks as libjpeg asks; at its end, as libjpeg's own sources do, warns and
// supplies an end-of-image marker so that a cut file still decodes (with the warning).
struct FileSource {
    jpeg_source_mgr pub;  // first member
    std::FILE* file = nullptr;
    bool started = false;
    JOCTET buffer[64 * 1024];
};

void InitFileSource(j_decompress_ptr) {}
void TermFileSource(j_decompress_ptr) {}

boolean FillFileBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<FileSource*>(cinfo->src);
    std::size_t n = std::fread(src->buffer, 1, sizeof src->buffer, src->file);
    if (n == 0) {
        if (std::ferror(src->file)) ERREXIT(cinfo, JERR_FILE_READ);
        if (!src->started) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->started = true;
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    return TRUE;
}

void SkipFileData(j_decompress_ptr cinfo, long count) {
    auto* src = reinterpret_cast<FileSource*>(cinfo->src);
    if (count <= 0) return;
    while (static_cast<std::size_t>(count) > src->pub.bytes_in_buffer) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        FillFileBuffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

struct Decompressor {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    bool created = false;
    // Where the data comes from: a memory block, or a file when fileSource is set.
    const std::uint8_t* data = nullptr;
    unsigned long size = 0;
    std::unique_ptr<FileSource> fileSource;

    Decompressor() {
        std::memset(&cinfo, 0, sizeof cinfo);
        InstallErrorManager(err);
        cinfo.err = &err.pub;
    }
    ~Decompressor() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    [[noreturn]] void Fail() const { throw EInvalidGraphic(err.message); }
};

// The stages below are the only frames longjmp returns into: plain C calls, no C++ objects.

bool ReadHeaderStage(Decompressor& d) {
    if (setjmp(d.err.jump)) return false;
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    if (FileSource* src = d.fileSource.get()) {
        src->pub.init_source = InitFileSource;
        src->pub.fill_input_buffer = FillFileBuffer;
        src->pub.skip_input_data = SkipFileData;
        src->pub.resync_to_restart = jpeg_resync_to_restart;
        src->pub.term_source = TermFileSource;
        src->pub.bytes_in_buffer = 0;
        src->pub.next_input_byte = nullptr;
        d.cinfo.src = &src->pub;
    } else {
        jpeg_mem_src(&d.cinfo, d.data, d.size);
    }
    jpeg_save_markers(&d.cinfo, JPEG_APP0 + 1, 0xFFFF);  // Exif, for the orientation
    jpeg_read_header(&d.cinfo, TRUE);
    return true;
}

bool CalcOutputStage(Decompressor& d) {
    if (setjmp(d.err.jump)) return false;
    jpeg_calc_output_dimensions(&d.cinfo);
    return true;
}

// Expands a row of gray bytes at the start of row into pixels, right to left so that no
// gray byte is overwritten before it is read.
void ExpandGrayRow(std::uint8_t* row, int width, int bytesPerPixel) {
    for (int x = width - 1; x >= 0; --x) {
        const std::uint8_t v = row[x];
        std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
        p[0] = p[1] = p[2] = v;
        if (bytesPerPixel == 4) p[3] = 0xFF;  // as libjpeg fills it for colour files
    }
}

bool DecompressStage(Decompressor& d, const PixelView& out, bool grayOutput) {
    if (setjmp(d.err.jump)) return false;
    jpeg_start_decompress(&d.cinfo);  // computes the same output size as CalcOutputStage
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        const int y = static_cast<int>(d.cinfo.output_scanline);
        JSAMPROW row = out.row(y);
        jpeg_read_scanlines(&d.cinfo, &row, 1);
        if (grayOutput) ExpandGrayRow(out.row(y), out.width, out.bytesPerPixel);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

unsigned long CheckedInputSize(std::size_t size) {
    if (size > ULONG_MAX) throw EInvalidGraphic("JPEG data too large");
    return static_cast<unsigned long>(size);
}

void ReadHeader(Decompressor& d) {
    if (!ReadHeaderStage(d)) d.Fail();
}

void ReadHeader(Decompressor& d, std::span<const std::uint8_t> data) {
    d.data = data.data();
    d.size = CheckedInputSize(data.size());
    ReadHeader(d);
}

int OrientationOf(const jpeg_decompress_struct& cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1) {
            const int orientation = ExifOrientation({m->data, m->data_length});
            if (orientation != kUprightOrientation) return orientation;
        }
    return kUprightOrientation;
}

JpegInfo InfoOf(const jpeg_decompress_struct& cinfo) {
    JpegInfo info;
    info.width = static_cast<int>(cinfo.image_width);
    info.height = static_cast<int>(cinfo.image_height);
    info.components = cinfo.num_components;
    info.colorSpace = ColorSpaceOf(cinfo.jpeg_color_space);
    info.progressive = cinfo.progressive_mode != 0;
    info.orientation = OrientationOf(cinfo);
    return info;
}

void CheckDecodeOptions(int denom, int bytesPerPixel) {
    if (denom != 1 && denom != 2 && denom != 4 && denom != 8)
        throw std::invalid_argument("JPEG scale denominator must be 1, 2, 4 or 8");
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        throw std::invalid_argument("decoded JPEG pixels are 3 or 4 bytes");
}

// Decodes the picture whose header d has read into `into`.
void DecodeAfterHeader(Decompressor& d, const JpegDecodeOptions& options, DecodedJpeg& into) {
    const JpegInfo info = InfoOf(d.cinfo);
    into.fullWidth = info.width;
    into.fullHeight = info.height;
    into.colorSpace = info.colorSpace;
    into.orientation = info.orientation;
    into.warnings = 0;
    into.truncated = false;
    if (info.colorSpace == JpegColorSpace::CMYK || info.colorSpace == JpegColorSpace::YCCK)
        throw EInvalidGraphic("CMYK JPEG images are not supported");
    const int denom = options.scaleFor ? options.scaleFor(info) : options.scaleDenominator;
    CheckDecodeOptions(denom, options.bytesPerPixel);

    const bool grayOutput = options.grayscale || info.colorSpace == JpegColorSpace::Grayscale;
    d.cinfo.scale_num = 1;
    d.cinfo.scale_denom = static_cast<unsigned>(denom);
    d.cinfo.dct_method = JDCT_ISLOW;
    // Gray files are decoded as gray and widened here: one channel through the IDCT.
    d.cinfo.out_color_space = grayOutput ? JCS_GRAYSCALE : (options.bytesPerPixel == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR);
    if (!CalcOutputStage(d)) d.Fail();

    const std::uint64_t outPixels = std::uint64_t{d.cinfo.output_width} * d.cinfo.output_height;
    // A progressive file keeps all its coefficients at full size whatever the scale.
    const std::uint64_t fullPixels = std::uint64_t{d.cinfo.image_width} * d.cinfo.image_height;
    if (outPixels > options.pixelLimit || (d.cinfo.progressive_mode && fullPixels > options.pixelLimit))
        throw EInvalidGraphic(Format("JPEG image too large (%u x %u pixels)", d.cinfo.image_width, d.cinfo.image_height));

    into.pixels.Reshape(static_cast<int>(d.cinfo.output_width), static_cast<int>(d.cinfo.output_height),
                        options.bytesPerPixel);
    if (!DecompressStage(d, into.pixels.view(), grayOutput)) d.Fail();
    into.warnings = static_cast<int>(d.err.pub.num_warnings);
    into.truncated = d.err.endedEarly;
}

// libjpeg's growing memory destination, with the buffer in malloc'd memory that the holder
// frees whether or not the encode finished.
struct MemoryDestination {
    jpeg_destination_mgr pub;  // first member
    std::uint8_t* buffer = nullptr;
    std::size_t capacity = 0;
    std::size_t used = 0;
};

void InitDestination(j_compress_ptr) {}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    const std::size_t grown = dest->capacity * 2;
    auto* bigger = static_cast<std::uint8_t*>(std::realloc(dest->buffer, grown));
    if (!bigger) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
    dest->pub.next_output_byte = bigger + dest->capacity;
    dest->pub.free_in_buffer = grown - dest->capacity;
    dest->buffer = bigger;
    dest->capacity = grown;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->used = dest->capacity - dest->pub.free_in_buffer;
}

struct Compressor {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    MemoryDestination dest;
    bool created = false;

    Compressor() {
        std::memset(&cinfo, 0, sizeof cinfo);
        InstallErrorManager(err);
        cinfo.err = &err.pub;
    }
    ~Compressor() {
        if (created) jpeg_destroy_compress(&cinfo);
        std::free(dest.buffer);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

bool CompressStage(Compressor& c, const PixelView& in, const JpegEncodeOptions& options) {
    if (setjmp(c.err.jump)) return false;
    jpeg_create_compress(&c.cinfo);
    c.created = true;
    c.dest.pub.init_destination = InitDestination;
    c.dest.pub.empty_output_buffer = EmptyOutputBuffer;
    c.dest.pub.term_destination = TermDestination;
    c.dest.pub.next_output_byte = c.dest.buffer;
    c.dest.pub.free_in_buffer = c.dest.capacity;
    c.cinfo.dest = &c.dest.pub;

    c.cinfo.image_width = static_cast<JDIMENSION>(in.width);
    c.cinfo.image_height = static_cast<JDIMENSION>(in.height);
    c.cinfo.input_components = in.bytesPerPixel;
    c.cinfo.in_color_space = in.bytesPerPixel == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_set_defaults(&c.cinfo);
    if (options.grayscale) jpeg_set_colorspace(&c.cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(&c.cinfo, options.quality, TRUE);
    // At the top quality the colour keeps full resolution too: the editor's previews are
    // written at 100 and should lose as little as the format allows.
    if (options.quality >= 100 && !options.grayscale)
        for (int i = 0; i < c.cinfo.num_components; ++i)
            c.cinfo.comp_info[i].h_samp_factor = c.cinfo.comp_info[i].v_samp_factor = 1;
    if (options.progressive) jpeg_simple_progression(&c.cinfo);
    c.cinfo.dct_method = JDCT_ISLOW;
    c.cinfo.optimize_coding = TRUE;

    jpeg_start_compress(&c.cinfo, TRUE);
    while (c.cinfo.next_scanline < c.cinfo.image_height) {
        JSAMPROW row = in.row(static_cast<int>(c.cinfo.next_scanline));
        jpeg_write_scanlines(&c.cinfo, &row, 1);
    }
    jpeg_finish_compress(&c.cinfo);
    return true;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

int ScaledJpegDimension(int full, int denominator) {
    return (full + denominator - 1) / denominator;
}

JpegInfo ProbeJpeg(std::span<const std::uint8_t> data) {
    Decompressor d;
    ReadHeader(d, data);
    return InfoOf(d.cinfo);
}

void DecodeJpegInto(std::span<const std::uint8_t> data, const JpegDecodeOptions& options, DecodedJpeg& into) {
    if (!options.scaleFor) CheckDecodeOptions(options.scaleDenominator, options.bytesPerPixel);
    Decompressor d;
    ReadHeader(d, data);
    DecodeAfterHeader(d, options, into);
}

void DecodeJpegFileInto(const std::string& path, const JpegDecodeOptions& options, DecodedJpeg& into) {
    if (!options.scaleFor) CheckDecodeOptions(options.scaleDenominator, options.bytesPerPixel);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) throw EFOpenError(Format("Cannot open file \"%s\"", path.c_str()));
    Decompressor d;
    d.fileSource = std::make_unique<FileSource>();
    d.fileSource->file = file.get();
    ReadHeader(d);
    DecodeAfterHeader(d, options, into);
}

DecodedJpeg DecodeJpeg(std::span<const std::uint8_t> data, const JpegDecodeOptions& options) {
    DecodedJpeg result;
    DecodeJpegInto(data, options, result);
    return result;
}

DecodedJpeg DecodeJpegFile(const std::string& path, const JpegDecodeOptions& options) {
    DecodedJpeg result;
    DecodeJpegFileInto(path, options, result);
    return result;
}

std::vector<std::uint8_t> EncodeJpeg(const PixelView& pixels, const JpegEncodeOptions& options) {
    if (pixels.empty()) throw EInvalidGraphic("Cannot encode an empty picture as JPEG");
    if (pixels.bytesPerPixel != 3 && pixels.bytesPerPixel != 4)
        throw std::invalid_argument("JPEG input pixels are 3 or 4 bytes");
    Compressor c;
    // Room for a typical result; the destination doubles it when needed.
    c.dest.capacity = static_cast<std::size_t>(pixels.width) * pixels.height / 2 + 4096;
    c.dest.buffer = static_cast<std::uint8_t*>(std::malloc(c.dest.capacity));
    if (!c.dest.buffer) throw EOutOfResources("Out of memory for the JPEG encoder");
    if (!CompressStage(c, pixels, options)) throw EInvalidGraphic(c.err.message);
    return std::vector<std::uint8_t>(c.dest.buffer, c.dest.buffer + c.dest.used);
}

std::vector<std::uint8_t> ReadJpegFileBytes(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) throw EFOpenError(Format("Cannot open file \"%s\"", path.c_str()));
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (n < sizeof chunk) break;
    }
    if (std::ferror(file.get())) throw EReadError(Format("Cannot read file \"%s\"", path.c_str()));
    return bytes;
}

void WriteJpegFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    WriteFileAtomically(path, bytes);
}

}  // namespace forms
