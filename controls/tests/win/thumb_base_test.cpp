#include "controls/thumb_base.h"

#include <gtest/gtest.h>

#include "controls/ctl_themes.h"
#include "controls/tests/win/thumb_fixtures.h"
#include "controls/thumb_view.h"
#include "forms/form.h"

namespace controls {
namespace {

using namespace forms;

TEST(ThumbBase, InnerControlsMakeNoClicksOrCapturesOfTheirOwn) {
    TForm form(nullptr);
    auto* view = new TBaseThumbView(&form);
    auto* inView = new TBaseThumbnail(view);
    auto* alone = new TBaseThumbnail(&form);
    auto* strip = new TThumbTitle(inView);
    auto* looseStrip = new TThumbTitle(&form);
    auto* image = new TBaseThumbImage(inView);
    const struct {
        const char* name;
        TControl* control;
        TControlStyle present, absent;
    } cases[] = {
        {"view", view, csOpaque, csSetCaption},
        {"cell in a view", inView, csClickEvents, csSetCaption | csCaptureMouse},
        {"cell elsewhere", alone, csCaptureMouse, csSetCaption},
        {"strip in a cell", strip, 0, csSetCaption | csCaptureMouse | csClickEvents | csDoubleClicks},
        {"strip elsewhere", looseStrip, csClickEvents | csCaptureMouse, csSetCaption},
        {"image", image, csClickEvents, csSetCaption},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.control->ControlStyle() & c.present, c.present) << c.name;
        EXPECT_EQ(c.control->ControlStyle() & c.absent, 0u) << c.name;
    }
    EXPECT_TRUE(ThemeStyleOf(view) & csNeedsBorderPaint);
    EXPECT_TRUE(ThemeStyleOf(strip) & csNeedsBorderPaint);
}

TEST(ThumbBase, IgnoreMouseLetsTheMouseThroughToTheCell) {
    TForm form(nullptr);
    auto* cell = new TBaseThumbnail(&form);
    auto* image = new TBaseThumbImage(cell);
    image->SetParent(cell);
    EXPECT_FALSE(image->IgnoreMouse());
    EXPECT_NE(image->Perform(CM_HITTEST, 0, PointToHitTestParam(1, 1)), 0);
    image->SetIgnoreMouse(true);
    EXPECT_EQ(image->Perform(CM_HITTEST, 0, PointToHitTestParam(1, 1)), 0);
}

TEST(ThumbBase, FileNameReadsTheFileAndKeepsItWhenMissing) {
    testsupport::TempFolder folder;
    const std::string path = folder.Path() + "portrait.jpg";
    thumbtest::WriteBytes(path, thumbtest::Bytes(4321, 7));
    TFileName name;
    name.SetFileName(path);
    EXPECT_EQ(name.LongName(), "portrait.jpg");
    EXPECT_FALSE(name.ShortName().empty());
    EXPECT_EQ(name.Size(), 4321);
    EXPECT_GT(name.LastWriteTime(), 0.0);
    std::uint32_t now = 0;
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ASSERT_TRUE(PackedLocalDateTime(ft, now));
    EXPECT_EQ(static_cast<std::uint32_t>(name.LastWriteTime()) >> 16, now >> 16) << "today's date";

    name.SetFileName(folder.Path() + "missing.jpg");
    EXPECT_EQ(name.FileName(), folder.Path() + "missing.jpg");
    EXPECT_EQ(name.Size(), 4321);
    EXPECT_EQ(name.LongName(), "portrait.jpg");

    name.SetLength(4);
    EXPECT_EQ(name.FileName().size(), 4u);
    EXPECT_EQ(name.Length(), 4);
    name.SetLength(6);
    EXPECT_EQ(name.Length(), 6);
}

}  // namespace
}  // namespace controls
