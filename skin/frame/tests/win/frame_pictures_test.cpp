// vantrell's real main window in each of the six skins, grabbed from the screen for a
// reviewer into build/artifacts/skins/frame-<n>.png (its controls are not skinned yet).
#include <fstream>

#include "editor/main_form.h"
#include "skin/frame/tests/win/frame_fixture.h"
#include "tests/support/process_driver.h"
#include "tools/skin_pack/png_writer.h"

namespace skin::frame_tests {
namespace {

skin_pack::Rgb24Picture GrabScreen(const RECT& r) {
    skin_pack::Rgb24Picture picture{r.right - r.left, r.bottom - r.top, {}};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    GetDIBits(memory, bitmap, 0, picture.height, picture.pixels.data(), &info, DIB_RGB_COLORS);
    // Read as 0x00RRGGBB; the writer takes 0x00BBGGRR.
    for (std::uint32_t& p : picture.pixels) p = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

TEST(FramePictures, VantrellsMainWindowInEachSkin) {
    testsupport::TempFolder folder;
    for (int n = 0; n < 6; ++n) {
        SCOPED_TRACE(n);
        auto data = LoadSkin(std::to_string(n));
        auto form = std::make_unique<editor::TForm1>(nullptr, folder.Path());
        form->Show();
        Settle();
        HWND wnd = form->Handle();
        const SIZE client = ClientSize(wnd);
        TSkinForm* skin = AttachTo(*form, *data);
        ASSERT_EQ(skin->Phase(), kPhaseReady);
        EXPECT_TRUE(SameSize(ClientSize(wnd), client));
        SetForegroundWindow(wnd);
        PumpUntil([&] { return skin->Active(); });
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle();
        const RECT r = WindowRect(wnd);
        // The title as the skin paints it: its middle row is the top border's, not the desktop.
        const skin_pack::Rgb24Picture picture = GrabScreen(r);
        const std::uint32_t top = picture.pixels[static_cast<size_t>(picture.width / 2)];
        EXPECT_EQ(((top & 0xFF) << 16) | (top & 0xFF00) | ((top >> 16) & 0xFF), WindowPixel(wnd, picture.width / 2, 0));
        const std::vector<std::uint8_t> png = skin_pack::PngBytes(picture);
        std::ofstream out(std::string(SKIN_ARTIFACTS_WIN) + "/frame-" + std::to_string(n) + ".png", std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        EXPECT_TRUE(out.good());
        form.reset();
        Settle();
    }
    EXPECT_EQ(FramePaintErrors(), 0);
}

}  // namespace
}  // namespace skin::frame_tests
