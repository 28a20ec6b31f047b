// Check and radio marks from strips of each size a skin may carry, and a Buttons bitmap too
// narrow for its five frames, on skins made for the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/portable/properties.h"
#include "skin/controls/button_skins.h"
#include "skin/controls/tests/win/control_skin_fixture.h"
#include "tools/skin_pack/bmp_writer.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin {
namespace {

using testing_support::PaintedPixels;
using testing_support::Rgb;
using MarkStrips = testing_support::SkinnedForm;
using Bytes = std::vector<std::uint8_t>;

constexpr int kMark = 13;

// Frame i (from 1) of a strip is a flat colour of its own (as the platform writes colours).
std::uint32_t FrameColour(int i) { return 0x100000u * static_cast<std::uint32_t>(i) + 0xA0; }

Bytes Strip(int frames, int frameWidth = kMark) {
    skin_pack::Rgb24Picture p{frameWidth * frames, kMark, {}};
    for (int y = 0; y < kMark; ++y)
        for (int x = 0; x < p.width; ++x) p.pixels.push_back(FrameColour(x / frameWidth + 1));
    return skin_pack::Bmp24Bytes(p);
}

Bytes SkinWith(int checkFrames, int radioFrames, int buttonsWidth) {
    const std::string ini = "[Buttons]\r\nBitmap=b.bmp\r\nCheckButton=c.bmp\r\nCheckButtonFrame=" + std::to_string(checkFrames) +
                            "\r\nRadioButton=r.bmp\r\nRadioButtonFrame=" + std::to_string(radioFrames) +
                            "\r\n[Colours]\r\nButtonFace=10 20 30\r\n";
    skin_pack::Rgb24Picture buttons{buttonsWidth, 20, std::vector<std::uint32_t>(static_cast<size_t>(buttonsWidth) * 20, 0x00FF00)};
    const std::vector<skin_pack::SkinEntry> entries = {{"skin.ini", Bytes(ini.begin(), ini.end())},
                                                       {"b.bmp", skin_pack::Bmp24Bytes(buttons)},
                                                       {"c.bmp", Strip(checkFrames)},
                                                       {"r.bmp", Strip(radioFrames)}};
    return skin_pack::PackSkinStream(skin_pack::ArchiveBytes(entries));
}

void Use(TSkinData& data, const Bytes& stream) {
    data.SkinStream().Clear();
    data.SkinStream().WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
    ASSERT_TRUE(data.LoadSkin());
}

POINT MarkCentre(int height) {
    const int left = (14 - kMark) / 2 + 1;
    return POINT{left + kMark / 2, (height - kMark) / 2 + kMark / 2};
}

TEST_F(MarkStrips, CheckMarksFromFourAndTwelveFrameStrips) {
    const struct {
        const char* state;
        bool checked, disabled, grayed;
        int four, twelve;
    } cases[] = {
        {"unchecked", false, false, false, 1, 1}, {"checked", true, false, false, 2, 5},
        {"disabled", false, true, false, 3, 4},   {"indeterminate", false, false, true, 4, 9},
        {"indeterminate disabled", false, true, true, 4, 12},
    };
    for (int frames : {4, 12}) {
        Use(*data, SkinWith(frames, 4, 100));
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.state) + " of " + std::to_string(frames));
            auto* check = new forms::TCheckBox(form);
            check->SetParent(form);
            check->SetBounds(20, 20, 150, 24);
            check->SetAllowGrayed(true);
            (new TSkinCheckBox(check))->AttachControl(list.get(), data.get(), false);
            if (c.grayed) check->SetState(forms::cbGrayed);
            else check->SetChecked(c.checked);
            check->SetEnabled(!c.disabled);
            const POINT p = MarkCentre(24);
            EXPECT_EQ(PaintedPixels(check->Handle()).At(p.x, p.y), FrameColour(frames == 4 ? c.four : c.twelve));
            delete check;
        }
    }
}

TEST_F(MarkStrips, RadioMarksFromFourAndEightFrameStrips) {
    const struct {
        const char* state;
        bool checked, disabled;
        int four, eight;
    } cases[] = {{"unchecked", false, false, 1, 1}, {"checked", true, false, 2, 5}, {"disabled", false, true, 3, 4},
                 {"checked disabled", true, true, 4, 8}};
    for (int frames : {4, 8}) {
        Use(*data, SkinWith(4, frames, 100));
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.state) + " of " + std::to_string(frames));
            auto* radio = new forms::TRadioButton(form);
            radio->SetParent(form);
            radio->SetBounds(20, 20, 150, 24);
            (new TSkinRadioButton(radio))->AttachControl(list.get(), data.get(), false);
            radio->SetChecked(c.checked);
            radio->SetEnabled(!c.disabled);
            const POINT p{(14 - kMark) / 2 + kMark / 2, (24 - kMark) / 2 + kMark / 2};
            EXPECT_EQ(PaintedPixels(radio->Handle()).At(p.x, p.y), FrameColour(frames == 4 ? c.four : c.eight));
            delete radio;
        }
    }
}

// A data-aware check box (one with a DataField): its data link sets the window's check, which
// the skin remembers from BM_SETCHECK and shows over the control's State.
class TDBCheckBox : public forms::TCheckBox {
public:
    using forms::TCheckBox::TCheckBox;
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass() {
        static const forms::TClassInfo info = forms::TClassInfo::Define<TDBCheckBox>("TDBCheckBox", &forms::TCheckBox::StaticClass())
                                                  .Str("DataField", &TDBCheckBox::DataField, &TDBCheckBox::SetDataField)
                                                  .Done();
        return info;
    }
    const std::string& DataField() const { return field_; }
    void SetDataField(const std::string& v) { field_ = v; }

private:
    std::string field_ = "Done";
};

TEST_F(MarkStrips, ADataAwareBoxShowsTheCheckItWasLastSent) {
    constexpr int kNone = -1;
    const struct {
        const char* what;
        bool dataAware;
        forms::TCheckBoxState state;
        int sent;  // BM_SETCHECK's wParam straight to the window, or kNone
        int frame;
    } cases[] = {
        {"data-aware, checked by its data", true, forms::cbUnchecked, BST_CHECKED, 2},
        {"data-aware, unchecked by its data", true, forms::cbChecked, BST_UNCHECKED, 1},
        {"data-aware, grey by its data", true, forms::cbUnchecked, BST_INDETERMINATE, 4},
        {"data-aware, nothing sent yet", true, forms::cbChecked, kNone, 2},
        {"plain box, its State wins", false, forms::cbUnchecked, BST_CHECKED, 1},
    };
    Use(*data, SkinWith(4, 4, 100));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        forms::TCheckBox* check = c.dataAware ? new TDBCheckBox(form) : new forms::TCheckBox(form);
        check->SetParent(form);
        check->SetBounds(20, 20, 150, 24);
        check->SetState(c.state);
        (new TSkinCheckBox(check))->AttachControl(list.get(), data.get(), false);
        if (c.sent != kNone) SendMessageA(check->Handle(), BM_SETCHECK, static_cast<WPARAM>(c.sent), 0);
        const POINT p = MarkCentre(24);
        EXPECT_EQ(PaintedPixels(check->Handle()).At(p.x, p.y), FrameColour(c.frame));
        delete check;
    }
}

// A Buttons bitmap narrower than its five frames draws no frame: the button shows the face.
TEST_F(MarkStrips, AButtonsBitmapTooNarrowForItsFramesDrawsNone) {
    Use(*data, SkinWith(4, 4, 4));
    auto* button = new forms::TButton(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 90, 30);
    (new TSkinButton(button))->AttachControl(list.get(), data.get(), false);
    button->SetDefault(true);
    EXPECT_EQ(PaintedPixels(button->Handle()).At(4, 4), RGB(10, 20, 30));
}

}  // namespace
}  // namespace skin
