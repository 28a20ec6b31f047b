// An image list (TImageList): equal-sized images kept by the system's image list with a mask
// each, drawn by index. Buttons and menus refer to one and pick their image by index.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "forms/gdi_handle.h"
#include "forms/portable/colors.h"
#include "forms/portable/component.h"

namespace forms {

class TBitmap;

// Counted as the two bitmaps the system keeps for it: the images and their masks.
struct ImageListDeleter {
    static void Count(int delta) { handle_counts::AddGdiObjects(2 * delta); }
    void operator()(HIMAGELIST h) const {
        ImageList_Destroy(h);
        Count(-1);
    }
};
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListDeleter>;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // A new size empties the list: its images were cut for the old one.
    int Width() const { return width_; }
    void SetWidth(int v) { SetSize(v, height_); }
    int Height() const { return height_; }
    void SetHeight(int v) { SetSize(width_, v); }
    void SetSize(int width, int height);

    int Count() const;
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    // Cuts the bitmap into images of Width from the left; pixels of the mask colour become
    // transparent. Gives the index of the first image added.
    int AddMasked(TBitmap& image, TColor maskColor);
    void Clear();

    // Image index with its top-left at (x, y), transparent where masked; a disabled image
    // is drawn embossed in the system's greys. An index outside the list draws nothing.
    void Draw(HDC dc, int x, int y, int index, bool enabled = true) const;
    // The image on a background of fill (a bitmap of Width × Height, 24 bits).
    void GetBitmap(int index, TBitmap& out, TColor fill) const;

    HIMAGELIST Handle() const { return list_.get(); }

private:
    int width_ = 16;
    int height_ = 16;
    UniqueImageList list_;
};

}  // namespace forms
