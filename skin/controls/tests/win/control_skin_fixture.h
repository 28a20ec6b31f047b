// A shown form, the probe skin loaded, a control-skin list, and pixel reading for the control
// skins' tests.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/form.h"
#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/skin_control.h"
#include "skin/skin_data.h"
#include "skins/probe_colours.h"
#include "tests/support/painted_pixels.h"

namespace skin::testing_support {

// 0xRRGGBB as the platform's colour value.
inline COLORREF Rgb(std::uint32_t rrggbb) { return RGB((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

inline void LoadProbeSkin(TSkinData& data) {
    std::ifstream in(std::string(SKIN_ARTIFACTS_WIN) + "/skin-probe.skin", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty()) << "the probe skin is painted by the native tree's build";
    data.SkinStream().Clear();
    data.SkinStream().WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    ASSERT_TRUE(data.LoadSkin());
}

using testsupport::PaintedPixels;

// A pixel of the window as it stands on the screen after a full repaint, in window coordinates.
inline COLORREF ScreenPixel(HWND wnd, int x, int y) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetWindowDC(wnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

struct SkinnedForm : ::testing::Test {
    forms::TForm* form = nullptr;
    std::unique_ptr<TSkinData> data;
    std::unique_ptr<TControlSkinList> list;
    int paintErrorsBefore = 0;

    void SetUp() override {
        paintErrorsBefore = TSkinControl::PaintErrors();
        data = std::make_unique<TSkinData>(nullptr);
        LoadProbeSkin(*data);
        list = std::make_unique<TControlSkinList>(data.get());
        form = new forms::TForm(forms::Application);
        form->SetBounds(40, 40, 520, 400);
        form->Show();
        Pump();
    }
    void TearDown() override {
        list.reset();
        delete form;
        EXPECT_EQ(TSkinControl::PaintErrors(), paintErrorsBefore) << "a paint raised an error";
    }
    static void Pump() { forms::Application->ProcessMessages(); }
    COLORREF Face() const { return forms::ColorToRGB(static_cast<forms::TColor>(data->Elements().colours.ButtonFace)); }
};

}  // namespace skin::testing_support
