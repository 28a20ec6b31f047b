#include "forms/bitmap.h"

#include <climits>
#include <cstring>

#include "forms/jpeg_image.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"
#include "forms/portable/streams.h"

namespace forms {
namespace {

// Bitmaps beyond this many pixels (from a file header, or asked for) are refused before any
// memory is taken: the JPEG codec's limit.
constexpr std::uint64_t kMaxBitmapPixels = kDefaultJpegPixelLimit;
constexpr WORD kBmpSignature = 0x4D42;  // "BM"

int BitsOf(TPixelFormat format) { return format == pf32bit ? 32 : 24; }

std::ptrdiff_t StrideOf(int width, int bits) {
    return ((static_cast<std::ptrdiff_t>(width) * bits + 31) / 32) * 4;
}

TPixelFormat Normalized(TPixelFormat format) {
    if (format == pfDevice) return pf24bit;
    if (format != pf24bit && format != pf32bit) throw EInvalidGraphic("Unsupported bitmap pixel format");
    return format;
}

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }

template <class T> T ReadAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// A copy of an RT_BITMAP resource (a packed DIB): resource memory is read-only and need not
// be aligned for the headers.
std::vector<std::uint8_t> BitmapResource(HINSTANCE instance, LPCSTR name, const std::string& shown) {
    HRSRC found = FindResourceA(instance, name, RT_BITMAP);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    if (data == nullptr || size == 0) throw EInvalidGraphic(Format("Bitmap resource %s not found", shown.c_str()));
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

}  // namespace

struct TBitmap::Dib {
    UniqueBitmap handle;
    std::uint8_t* bits = nullptr;
    std::ptrdiff_t stride = 0;

    // Top-down (negative height), so that row 0 is the top row in memory too.
    static Dib Create(int width, int height, TPixelFormat format) {
        Dib dib;
        if (width == 0 || height == 0) return dib;
        if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels)
            throw EInvalidGraphic(Format("Bitmap too large (%d x %d pixels)", width, height));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(BitsOf(format));
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dib.handle.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!dib.handle || bits == nullptr)
            throw EOutOfResources(Format("Out of system resources for a %d x %d bitmap", width, height));
        dib.bits = static_cast<std::uint8_t*>(bits);
        dib.stride = StrideOf(width, BitsOf(format));
        return dib;
    }
};

// The bitmap's canvas makes the DC (and the DIB) when it is first drawn on.
class TBitmap::BitmapCanvas : public TCanvas {
public:
    explicit BitmapCanvas(TBitmap& owner) : owner_(owner) {}
    void CreateHandle() override { SetHandle(owner_.CanvasDC()); }

private:
    TBitmap& owner_;
};

const TClassInfo& TBitmap::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TBitmap>("TBitmap", &TObject::StaticClass()).Done();
    return info;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
    Recreate(width, height, Normalized(format), false);
}

TBitmap::~TBitmap() {
    // The canvas lets go of its tools first, then the DC gives back its own bitmap.
    if (canvas_) canvas_->SetHandle(nullptr);
    canvas_.reset();
    if (dc_) SelectObject(dc_.get(), dcOriginalBitmap_);
}

void TBitmap::Install(Memory&& pixels, int width, int height, TPixelFormat format) {
    if (dc_) SelectObject(dc_.get(), dcOriginalBitmap_);
    dib_.reset();
    const bool empty = pixels.empty();
    pixels_ = std::move(pixels);
    bits_ = empty ? nullptr : pixels_.data();
    width_ = empty ? 0 : width;
    height_ = empty ? 0 : height;
    stride_ = empty ? 0 : StrideOf(width, BitsOf(format));
    format_ = format;
    if (dc_ && !empty) MakeDib();
}

void TBitmap::MakeDib() {
    if (dib_ || width_ == 0 || height_ == 0) return;
    Dib dib = Dib::Create(width_, height_, format_);
    std::memcpy(dib.bits, pixels_.data(), static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height_));
    dib_ = std::move(dib.handle);
    bits_ = dib.bits;
    Memory().swap(pixels_);
    if (dc_) SelectObject(dc_.get(), dib_.get());
}

HBITMAP TBitmap::Handle() const {
    const_cast<TBitmap*>(this)->MakeDib();
    return dib_.get();
}

HDC TBitmap::CanvasDC() {
    if (!dc_) {
        UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
        if (!dc) throw EOutOfResources("Out of system resources for a bitmap canvas");
        dcOriginalBitmap_ = GetCurrentObject(dc.get(), OBJ_BITMAP);
        dc_ = std::move(dc);
    }
    MakeDib();
    if (dib_) SelectObject(dc_.get(), dib_.get());
    return dc_.get();
}

void TBitmap::ReleaseHandles() {
    if (canvas_) {
        canvas_->SetHandle(nullptr);
        canvas_->ReleaseToolHandles();
    }
    if (dc_) SelectObject(dc_.get(), dcOriginalBitmap_);
    dc_.reset();
    if (!dib_) return;
    GdiFlush();
    const std::size_t size = static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height_);
    Memory pixels(bits_, bits_ + size);
    dib_.reset();
    pixels_ = std::move(pixels);
    bits_ = pixels_.data();
}

void TBitmap::Recreate(int width, int height, TPixelFormat format, bool keepPixels) {
    if (width < 0 || height < 0) throw EInvalidGraphic(Format("Invalid bitmap size %d x %d", width, height));
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels)
        throw EInvalidGraphic(Format("Bitmap too large (%d x %d pixels)", width, height));
    const std::ptrdiff_t stride = StrideOf(width, BitsOf(format));
    Memory pixels(width == 0 ? 0 : static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
    if (keepPixels && !pixels.empty() && bits_ != nullptr) {
        const PixelView to{pixels.data(), width, height, stride, format == pf32bit ? 4 : 3};
        CopyPixels(Pixels(), to);
    }
    Install(std::move(pixels), width, height, format);
    Changed();
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    Recreate(width, height, format_, true);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    format = Normalized(format);
    if (format == format_) return;
    Recreate(width_, height_, format, true);
}

std::uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= height_) throw EInvalidGraphic(Format("Scan line index %d out of range", y));
    if (dib_) GdiFlush();
    return bits_ + y * stride_;
}

PixelView TBitmap::Pixels() {
    if (bits_ == nullptr) return PixelView{};
    if (dib_) GdiFlush();
    return PixelView{bits_, width_, height_, stride_, BytesPerPixel()};
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        auto canvas = std::make_unique<BitmapCanvas>(*this);
        canvas->OnChange = [this](TObject*) { Changed(); };
        canvas_ = std::move(canvas);
    }
    return canvas_.get();
}

TColor TBitmap::ResolvedTransparentColor() {
    if (TransparentColor != clDefault || bits_ == nullptr) return TransparentColor;
    const std::uint8_t* p = ScanLine(height_ - 1);
    return MakeColor(p[2], p[1], p[0]);
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
    if (Empty()) return;
    if (!canvas.HandleAllocated()) canvas.CreateHandle();
    HDC target = canvas.Handle();
    HDC source = Canvas()->Handle();
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int oldMode = SetStretchBltMode(target, COLORONCOLOR);
    if (Transparent())
        TransparentBlt(target, rect.left, rect.top, w, h, source, 0, 0, width_, height_,
                       ColorToRGB(ResolvedTransparentColor()));
    else
        StretchBlt(target, rect.left, rect.top, w, h, source, 0, 0, width_, height_, SRCCOPY);
    if (oldMode != 0) SetStretchBltMode(target, oldMode);
}

void TBitmap::LoadPackedDib(const std::vector<std::uint8_t>& packed, std::size_t bitsOffset) {
    if (packed.size() < sizeof(BITMAPCOREHEADER)) InvalidBitmap();
    const DWORD headerSize = ReadAt<DWORD>(packed, 0);
    int width = 0, height = 0, bitCount = 0;
    DWORD compression = BI_RGB, colorsUsed = 0;
    std::size_t entrySize = sizeof(RGBQUAD), masks = 0;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        const auto core = ReadAt<BITMAPCOREHEADER>(packed, 0);
        width = core.bcWidth;
        height = core.bcHeight;
        bitCount = core.bcBitCount;
        if (core.bcPlanes != 1) InvalidBitmap();
        entrySize = sizeof(RGBTRIPLE);
    } else if (headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= packed.size()) {
        const auto info = ReadAt<BITMAPINFOHEADER>(packed, 0);
        width = info.biWidth;
        height = info.biHeight;
        bitCount = info.biBitCount;
        compression = info.biCompression;
        colorsUsed = info.biClrUsed;
        if (info.biPlanes != 1) InvalidBitmap();
        // The three masks follow a plain info header; later headers hold them inside.
        if (compression == BI_BITFIELDS && headerSize == sizeof(BITMAPINFOHEADER)) masks = 3 * sizeof(DWORD);
    } else {
        InvalidBitmap();
    }

    const bool knownLayout = (compression == BI_RGB && (bitCount == 1 || bitCount == 4 || bitCount == 8 ||
                                                         bitCount == 16 || bitCount == 24 || bitCount == 32)) ||
                             (compression == BI_RLE8 && bitCount == 8 && height > 0) ||
                             (compression == BI_RLE4 && bitCount == 4 && height > 0) ||
                             (compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32));
    if (!knownLayout || width < 0 || height == INT_MIN) InvalidBitmap();
    const int rows = height < 0 ? -height : height;
    if (width == 0 || rows == 0) {
        FreeImage();
        return;
    }
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(rows) > kMaxBitmapPixels)
        throw EInvalidGraphic(Format("Bitmap too large (%d x %d pixels)", width, rows));

    std::size_t colors = colorsUsed;
    if (colors == 0 && bitCount <= 8) colors = std::size_t{1} << bitCount;
    if (colors > 256 && bitCount <= 8) InvalidBitmap();
    const std::size_t tableEnd = headerSize + masks + colors * entrySize;
    if (tableEnd > packed.size()) InvalidBitmap();
    if (bitsOffset == 0 || bitsOffset < tableEnd || bitsOffset >= packed.size()) bitsOffset = tableEnd;
    const std::size_t available = packed.size() - bitsOffset;
    const bool compressed = compression == BI_RLE8 || compression == BI_RLE4;
    if (compressed ? available == 0 : static_cast<std::uint64_t>(StrideOf(width, bitCount)) * rows > available)
        InvalidBitmap();

    const TPixelFormat format = bitCount == 32 ? pf32bit : pf24bit;
    Dib dib = Dib::Create(width, rows, format);
    UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    // GDI converts every depth, palette, compression and row order into our DIB at once.
    const int copied = SetDIBits(dc.get(), dib.handle.get(), 0, static_cast<UINT>(rows), packed.data() + bitsOffset,
                                 reinterpret_cast<const BITMAPINFO*>(packed.data()), DIB_RGB_COLORS);
    if (copied == 0) InvalidBitmap();
    GdiFlush();
    Install(Memory(dib.bits, dib.bits + static_cast<std::size_t>(dib.stride) * static_cast<std::size_t>(rows)), width, rows,
            format);
    Changed();
}

void TBitmap::LoadFromStream(TStream& stream) {
    BITMAPFILEHEADER header{};
    if (stream.Read(&header, sizeof header) != static_cast<std::int64_t>(sizeof header) || header.bfType != kBmpSignature)
        InvalidBitmap();
    const std::int64_t remaining = stream.Size() - stream.Position();
    // bfSize is often wrong in the wild; trust it only when it fits in the stream, so that a
    // bitmap inside a larger stream leaves the position just after itself.
    std::int64_t length = remaining;
    if (header.bfSize > sizeof header + sizeof(BITMAPCOREHEADER) &&
        static_cast<std::int64_t>(header.bfSize - sizeof header) <= remaining)
        length = header.bfSize - sizeof header;
    if (length <= 0) InvalidBitmap();
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(length));
    stream.ReadBuffer(packed.data(), length);
    const std::size_t offset = header.bfOffBits > sizeof header ? header.bfOffBits - sizeof header : 0;
    LoadPackedDib(packed, offset);
}

void TBitmap::SaveToStream(TStream& stream) {
    const int bits = BitsOf(format_);
    const std::ptrdiff_t stride = StrideOf(width_, bits);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = height_;  // bottom-up, as most readers expect
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bits);
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * height_);
    info.biXPelsPerMeter = info.biYPelsPerMeter = 3780;  // 96 dots per inch
    BITMAPFILEHEADER header{};
    header.bfType = kBmpSignature;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + info.biSizeImage;
    stream.WriteBuffer(&header, sizeof header);
    stream.WriteBuffer(&info, sizeof info);
    if (Empty()) return;
    if (dib_) GdiFlush();
    for (int y = height_ - 1; y >= 0; --y) stream.WriteBuffer(bits_ + y * stride_, stride);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    LoadPackedDib(BitmapResource(instance, name.c_str(), name), 0);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
    LoadPackedDib(BitmapResource(instance, MAKEINTRESOURCEA(id), std::to_string(id)), 0);
}

void TBitmap::Assign(const TGraphic& source) {
    if (&source == this) return;
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        Memory pixels;
        if (bitmap->bits_ != nullptr) {
            if (bitmap->dib_) GdiFlush();
            pixels.assign(bitmap->bits_, bitmap->bits_ + static_cast<std::size_t>(bitmap->stride_) * bitmap->height_);
        }
        Install(std::move(pixels), bitmap->width_, bitmap->height_, bitmap->format_);
        TransparentColor = bitmap->TransparentColor;
        SetTransparent(bitmap->Transparent());
        Changed();
        return;
    }
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
        jpeg->AssignTo(*this);
        return;
    }
    throw EConvertError(Format("Cannot assign a %s to a TBitmap", source.ClassName().c_str()));
}

void TBitmap::AssignPixels(const PixelView& pixels) {
    const TPixelFormat format = pixels.bytesPerPixel == 4 ? pf32bit : pf24bit;
    Memory memory;
    if (!pixels.empty()) {
        if (static_cast<std::uint64_t>(pixels.width) * static_cast<std::uint64_t>(pixels.height) > kMaxBitmapPixels)
            throw EInvalidGraphic(Format("Bitmap too large (%d x %d pixels)", pixels.width, pixels.height));
        const std::ptrdiff_t stride = StrideOf(pixels.width, BitsOf(format));
        memory.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(pixels.height), 0);
        CopyPixels(pixels, PixelView{memory.data(), pixels.width, pixels.height, stride, pixels.bytesPerPixel});
    }
    Install(std::move(memory), pixels.width, pixels.height, format);
    Changed();
}

void TBitmap::FreeImage() {
    if (bits_ == nullptr) return;
    Install(Memory{}, 0, 0, format_);
    Changed();
}

}  // namespace forms
