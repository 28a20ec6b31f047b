// Grabbed in each of the six skins: every caption's text starts inside the frame, a dialog's
// and a message box's as far in as a form's own.
#include <string>

#include "skin/frame/tests/win/frame_fixture.h"

namespace skin::frame_tests {
namespace {

// The first column of the title strip where the caption "Wg" shows: the strip with the caption
// compared with the strip without.
int CaptionTextStart(HWND wnd, const TSkinForm& skin) {
    const RECT r = WindowRect(wnd);
    const int w = r.right - r.left, top = skin.Borders().top;
    const auto strip = [&](const char* text) {
        SetWindowTextA(wnd, text);
        RedrawFrame(wnd);
        Settle();
        std::vector<std::uint32_t> pixels(static_cast<size_t>(w * top));
        for (int y = 0; y < top; ++y)
            for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y * w + x)] = WindowPixel(wnd, x, y);
        return pixels;
    };
    const std::vector<std::uint32_t> with = strip("Wg"), without = strip("");
    SetWindowTextA(wnd, "Wg");
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < top; ++y)
            if (with[static_cast<size_t>(y * w + x)] != without[static_cast<size_t>(y * w + x)]) return x;
    return -1;
}

TEST(CaptionMargin, EveryCaptionStartsInsideTheFrameWithTheFormsMargin) {
    for (int n = 0; n < 6; ++n) {
        SCOPED_TRACE("skin " + std::to_string(n));
        std::unique_ptr<TSkinData> data = LoadSkin(std::to_string(n));
        // A centred or right-aligned caption starts where its width puts it.
        const TDataSkinTitle* title = data->Elements().title.get();
        const bool leftAligned = title == nullptr || title->TextAlignment == 0;
        const auto formStart = [&](forms::TFormBorderStyle border) {
            forms::TForm form(nullptr);
            form.SetBorderStyle(border);
            form.SetBounds(150, 120, 360, 200);
            form.Show();
            Settle();
            TSkinForm* skin = AttachTo(form, *data);
            const int start = CaptionTextStart(form.Handle(), *skin);
            EXPECT_GE(start, skin->Borders().left + 2) << "border style " << border;
            return start;
        };
        const int sizable = formStart(forms::bsSizeable);
        const int dialog = formStart(forms::bsDialog);
        if (leftAligned) EXPECT_GE(dialog, sizable - 1) << "a dialog form's caption starts left of a form's";
        // A message box: a raw "#32770" dialog.
        const std::vector<WORD> t = DialogTemplate(L"Wg");
        HWND box = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(t.data()), nullptr,
                                              PlainDialog, 0);
        ASSERT_NE(box, nullptr);
        Settle();
        {
            std::unique_ptr<TSkinForm> skin = AttachToWindow(box, *data);
            ASSERT_EQ(skin->FrameKind(), kFrameDialog);
            const int start = CaptionTextStart(box, *skin);
            EXPECT_GE(start, skin->Borders().left + 2) << "message box";
            if (leftAligned) EXPECT_GE(start, sizable - 1) << "a message box's caption starts left of a form's";
            skin->UnskinForm();
        }
        DestroyWindow(box);
        Settle();
    }
    EXPECT_EQ(FramePaintErrors(), 0);
}

}  // namespace
}  // namespace skin::frame_tests
