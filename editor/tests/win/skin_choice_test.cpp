#include "editor/main_form.h"

#include "forms/application.h"
#include "forms/ini_file.h"
#include "tests/support/process_driver.h"

#include <gtest/gtest.h>

#include <string>

namespace editor {
namespace {

using namespace forms;

// A program folder of its own for each test, and the main window opened on it.
class SkinChoiceTest : public testing::Test {
protected:
    void Open() {
        form_.reset(new TForm1(nullptr, folder_.Path()));
        Application->SetMainForm(form_.get());
        form_->Show();
        Application->ProcessMessages();
    }
    void WriteSetting(const char* key, const char* value) {
        TIniFile(folder_.Path() + "vantrell.ini").WriteString("Config", key, value);
    }
    std::string Setting(const char* key) {
        return TIniFile(folder_.Path() + "vantrell.ini").ReadString("Config", key, "<absent>");
    }
    // Which store item the skin data holds now (-1: none of them).
    int LoadedItem() {
        skin::TSkinStore& store = *form_->Skin->SkinStore1;
        TMemoryStream& held = form_->Skin->SkinData1->SkinStream();
        for (int i = 0; i < store.Store().Count(); ++i) {
            TMemoryStream& item = store.Store().Items(i).DataStream();
            if (item.Size() == held.Size() && std::equal(item.Memory(), item.Memory() + item.Size(), held.Memory()))
                return i;
        }
        return -1;
    }
    void TearDown() override {
        Application->SetMainForm(nullptr);
        form_.reset();
        Application->ProcessMessages();
        Application->ResetTerminated();
    }

    testsupport::TempFolder folder_;
    std::unique_ptr<TForm1> form_;
};

TEST_F(SkinChoiceTest, TheWindowCarriesTheSixSkinsAndASlider) {
    Open();
    skin::TSkinStore& store = *form_->Skin->SkinStore1;
    ASSERT_EQ(store.Store().Count(), 6);
    const char* names[] = {"SkinItem0", "SkinItem1", "SkinItem5", "SkinItem7", "SkinItem8", "SkinItem11"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(store.Store().Items(i).Name(), names[i]);
        EXPECT_GT(store.Store().Items(i).DataSize(), 1000) << names[i];
    }
    EXPECT_EQ(form_->FindComponent("SkinData1"), form_->Skin->SkinData1);
    EXPECT_EQ(form_->FindComponent("SkinStore1"), form_->Skin->SkinStore1);
    EXPECT_EQ(form_->Skin->SkinData1->SkinFormtype, skin::sfMainform);
    controls::TSlider* slider = form_->Bio->Slider1;
    EXPECT_EQ(form_->FindComponent("Slider1"), slider);
    EXPECT_EQ(slider->MinValue(), 0);
    EXPECT_EQ(slider->MaxValue(), 5);
    EXPECT_EQ(slider->Increment(), 1);
    EXPECT_EQ(slider->EdgeSize(), 1);
    EXPECT_EQ(slider->Height(), 25);
    // Beside "Enable Skins", in the same group.
    EXPECT_EQ(slider->Parent(), form_->Bio->CheckBox7->Parent());
    EXPECT_EQ(slider->Parent()->Caption(), " Appearance ");
    RECT group{0, 0, slider->Parent()->ClientWidth(), slider->Parent()->ClientHeight()};
    RECT inside{};
    const RECT bounds = slider->BoundsRect();
    EXPECT_TRUE(IntersectRect(&inside, &group, &bounds) && EqualRect(&inside, &bounds)) << "the slider fits its group";
}

TEST_F(SkinChoiceTest, TheSavedChoiceComesBackAtStart) {
    const struct { const char* useSkins; const char* skin; bool active; int value; } cases[] = {
        {nullptr, nullptr, false, 0},  // first start: skin 0, skinning off
        {"1", "3", true, 3},
        {"0", "5", false, 5},
        {"1", "0", true, 0},
        {"1", "9", true, 5},     // outside 0 to 5: the slider clamps
        {"1", "-2", true, 0},
        {"1", "0x3", true, 3},   // hexadecimal, as every INI integer
        {"1", "abc", true, 0},   // not a number
        {"1", "", true, 0},
    };
    for (const auto& c : cases) {
        DeleteFileA((folder_.Path() + "vantrell.ini").c_str());
        if (c.useSkins != nullptr) WriteSetting("UseSkins", c.useSkins);
        if (c.skin != nullptr) WriteSetting("Skin", c.skin);
        HWND before = FindWindowA("#32770", nullptr);
        Open();
        const std::string name = std::string(c.useSkins ? c.useSkins : "-") + "/" + (c.skin ? c.skin : "-");
        EXPECT_EQ(form_->Skin->SkinData1->Active(), c.active) << name;
        EXPECT_EQ(form_->Bio->CheckBox7->Checked(), c.active) << name;
        EXPECT_EQ(form_->Bio->Slider1->Value(), c.value) << name;
        EXPECT_EQ(LoadedItem(), c.value) << name;
        EXPECT_FALSE(form_->Skin->SkinData1->NoSkin()) << name;
        EXPECT_EQ(FindWindowA("#32770", nullptr), before) << name << ": no message";
        TearDown();
    }
}

TEST_F(SkinChoiceTest, TheSliderChoosesTheSkinAndTheCheckBoxSwitchesIt) {
    Open();
    controls::TSlider* slider = form_->Bio->Slider1;
    for (int v : {4, 1, 5, 0, 2}) {
        slider->SetValue(v);
        EXPECT_EQ(LoadedItem(), v);
        EXPECT_FALSE(form_->Skin->SkinData1->Active()) << "choosing while off only changes what will show";
    }
    form_->Bio->CheckBox7->SetChecked(true);
    EXPECT_TRUE(form_->Skin->SkinData1->Active());
    form_->Bio->CheckBox7->SetChecked(false);
    EXPECT_FALSE(form_->Skin->SkinData1->Active());
    form_->Bio->CheckBox7->SetChecked(true);
    EXPECT_TRUE(form_->Skin->SkinData1->Active());
    EXPECT_EQ(LoadedItem(), 2) << "off and on again shows the skin last chosen";
}

TEST_F(SkinChoiceTest, ExitWritesTheSkinAndWhetherItShows) {
    Open();
    form_->Bio->Slider1->SetValue(4);
    form_->Bio->CheckBox7->SetChecked(true);
    // What Exit and the frame's close run before the window goes (the real exit: tests/e2e).
    bool canClose = false;
    form_->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(Setting("Skin"), "4");
    EXPECT_EQ(Setting("UseSkins"), "1");
    TearDown();
    Open();
    EXPECT_EQ(form_->Bio->Slider1->Value(), 4);
    EXPECT_TRUE(form_->Skin->SkinData1->Active());
    EXPECT_EQ(LoadedItem(), 4);
}

}  // namespace
}  // namespace editor
