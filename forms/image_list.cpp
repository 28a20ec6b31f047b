#include "forms/image_list.h"

#include <algorithm>
#include <string>

#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/graphics.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"

namespace forms {

namespace {

UniqueImageList MakeList(int width, int height) {
    UniqueImageList list(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4));
    if (!list) throw EInvalidOperation("Image list of " + std::to_string(width) + " x " + std::to_string(height) + " not created");
    return list;
}

}  // namespace

const TClassInfo& TImageList::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TImageList>("TImageList", &TComponent::StaticClass())
                                       .Int("Width", &TImageList::Width, &TImageList::SetWidth)
                                       .Int("Height", &TImageList::Height, &TImageList::SetHeight)
                                       .Done();
    return info;
}

TImageList::TImageList(TComponent* owner) : TComponent(owner), list_(MakeList(width_, height_)) {}

void TImageList::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    if (width <= 0 || height <= 0) throw EInvalidOperation("Invalid image size");
    list_ = MakeList(width, height);
    width_ = width;
    height_ = height;
}

int TImageList::Count() const { return ImageList_GetImageCount(list_.get()); }

void TImageList::Clear() { ImageList_Remove(list_.get(), -1); }

int TImageList::AddMasked(TBitmap& image, TColor maskColor) {
    if (image.Width() < width_ || image.Height() <= 0) throw EInvalidOperation("Image narrower than the image list");
    // The list copies from a bitmap that no device context holds; the DIB stays in its canvas.
    ScreenDC screen;
    UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), image.Width(), height_));
    UniqueMemoryDC mem(CreateCompatibleDC(screen.get()));
    if (!copy || !mem) throw EOutOfResources("Out of system resources");
    const COLORREF mask = ColorToRGB(maskColor);
    {
        const SelectedObject selected(mem.get(), copy.get());
        UniqueBrush background(CreateSolidBrush(mask));
        RECT all{0, 0, image.Width(), height_};
        FillRect(mem.get(), &all, background.get());
        BitBlt(mem.get(), 0, 0, image.Width(), std::min(height_, image.Height()), image.Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    const int first = ImageList_AddMasked(list_.get(), copy.get(), mask);
    if (first < 0) throw EOutOfResources("Image not added to the image list");
    return first;
}

void TImageList::Draw(HDC dc, int x, int y, int index, bool enabled) const {
    if (!Valid(index)) return;
    if (enabled) {
        ImageList_Draw(list_.get(), index, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    UniqueIcon icon(ImageList_GetIcon(list_.get(), index, ILD_TRANSPARENT));
    if (icon) DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, x, y, width_, height_, DST_ICON | DSS_DISABLED);
}

void TImageList::GetBitmap(int index, TBitmap& out, TColor fill) const {
    out.SetSize(width_, height_);
    HDC dc = out.Canvas()->Handle();
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(fill)));
    RECT all{0, 0, width_, height_};
    FillRect(dc, &all, brush.get());
    Draw(dc, 0, 0, index);
}

}  // namespace forms
