// A skinned gallery: a cell whose window is given back far out of view leaves no skin behind
// on it, and is skinned again on its new window when it comes back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "controls/thumb_view.h"
#include "forms/portable/jpeg_codec.h"
#include "skin/controls/attach_controls.h"
#include "skin/controls/tests/win/control_skin_fixture.h"
#include "skin/skin_messages.h"
#include "tests/support/process_driver.h"

namespace skin {
namespace {

using SkinnedGallery = testing_support::SkinnedForm;

bool SkinOf(const TControlSkinList& list, const forms::TControl* control) {
    for (const TSkinControl* skin : list.Skins())
        if (skin->Owner() == control || skin->Control() == control) return true;
    return false;
}

TEST_F(SkinnedGallery, ACellGivenBackIsUnskinnedFreedAndSkinnedAgainOnItsNewWindow) {
    testsupport::TempFolder folder;
    forms::PixelBuffer picture(40, 30, 3);
    forms::FillPixels(picture.view(), 40, 160, 40);
    const std::vector<std::uint8_t> jpeg = forms::EncodeJpeg(picture.view(), forms::JpegEncodeOptions{});
    for (int i = 0; i < 40; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "thm_%02d.jpg", i);
        FILE* f = std::fopen((folder.Path() + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(jpeg.data(), 1, jpeg.size(), f);
        std::fclose(f);
    }
    auto* view = new controls::TThumbView(form);
    view->SetBounds(0, 0, 193, 340);
    view->SetScrollMode(controls::smVertical);
    view->SetMaxWidth(150);
    view->SetMaxHeight(150);
    view->SetFilter("Thumbnails|thm_*.jpg");
    view->HorzScrollBar()->SetVisible(false);
    view->SetParent(form);
    Pump();
    view->SetDirectory(folder.Path().substr(0, folder.Path().size() - 1));
    ASSERT_EQ(view->Count(), 40);
    SkinChildControls(*list, *form);
    Pump();
    controls::TThumbnail* cell = view->Thumbnail(0);
    ASSERT_TRUE(cell->HandleAllocated());
    ASSERT_EQ(SendMessageA(cell->WindowHandle(), kMsgSkinnedQuery, kSkinnedQueryCount, 0), 1) << "the cell is skinned";
    const HWND old = cell->WindowHandle();

    view->VertScrollBar()->SetPosition(view->VertScrollBar()->Range());
    EXPECT_FALSE(cell->HandleAllocated());
    EXPECT_FALSE(IsWindow(old));
    // The cells now in view are skinned from the queue, and that walk frees the dead skins.
    EXPECT_TRUE(testsupport::PollUntil([&] {
        Pump();
        return !SkinOf(*list, cell);
    })) << "the given-back cell's skin is still listed";
    controls::TThumbnail* last = view->Thumbnail(39);
    ASSERT_TRUE(last->HandleAllocated());
    EXPECT_TRUE(testsupport::PollUntil([&] {
        Pump();
        return SendMessageA(last->WindowHandle(), kMsgSkinnedQuery, kSkinnedQueryCount, 0) == 1;
    })) << "a cell that came into view is skinned";

    view->VertScrollBar()->SetPosition(0);
    ASSERT_TRUE(cell->HandleAllocated());
    EXPECT_TRUE(testsupport::PollUntil([&] {
        Pump();
        return SendMessageA(cell->WindowHandle(), kMsgSkinnedQuery, kSkinnedQueryCount, 0) == 1;
    })) << "the cell back in view has one skin, on its new window";
    EXPECT_TRUE(SkinOf(*list, cell));
    RedrawWindow(view->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
}

}  // namespace
}  // namespace skin
