// The galleries of the real vantrell, started from another folder: pictures added through
// the real file dialog, a batch stopped while it runs, and the pop-up menu opened with the
// mouse on a picture and with the keyboard.
#include "forms/portable/jpeg_codec.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace testsupport {
namespace {

using forms::JpegEncodeOptions;

struct PictureSize {
    int width, height;
};


void Write(const std::string& path, const JpegBytes& bytes) {
    WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
}

forms::JpegInfo Probe(const std::string& path) {
    const std::string bytes = ReadWholeFile(path);
    return forms::ProbeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The first visible child of a class, nullptr when none.
HWND ChildOfClass(HWND parent, const char* windowClass) {
    struct Find { const char* cls; HWND found; } find{windowClass, nullptr};
    EnumChildWindows(parent, [](HWND wnd, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Find*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        if (lstrcmpiA(cls, f->cls) != 0 || !IsWindowVisible(wnd)) return TRUE;
        f->found = wnd;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// A key pressed and released, as the program's queue receives it.
void PostKey(HWND wnd, WORD key) {
    PostMessageA(wnd, WM_KEYDOWN, key, 1);
    PostMessageA(wnd, WM_KEYUP, key, 0xC0000001);
}

// vantrell copied into a program folder of its own and started from another folder, with
// its picture dialog opening in a folder of test pictures.
class VantrellGalleries : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), (program_.Path() + "vantrell.exe").c_str(),
                              FALSE));
        WriteWholeFile(program_.Path() + "vantrell.ini", "[Config]\r\nLast Folder=" + pictures_.Path() + "\r\n");
    }
    void TearDown() override {
        if (vantrell_ && window_) PostMessageA(window_, WM_CLOSE, 0, 0);
        if (vantrell_) vantrell_->WaitForExit(std::chrono::seconds(20));
    }
    void Start() {
        vantrell_ = std::make_unique<ProcessUnderTest>(program_.Path() + "vantrell.exe", "", elsewhere_.Path());
        window_ = vantrell_->WaitForWindow("Vantrell - Biography");
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(ClickButton(window_, "&Next"));
        ASSERT_NE(vantrell_->WaitForWindow("Vantrell - Galleries"), nullptr);
    }
    // "&Add Images", and the real file dialog answered with these names from the pictures.
    void AddImages(const std::vector<std::string>& names) {
        ASSERT_TRUE(ClickButton(window_, "&Add Images"));
        HWND dialog = vantrell_->WaitForDialog("Add images To General");
        ASSERT_NE(dialog, nullptr);
        std::string typed;
        for (const auto& n : names) typed += "\"" + n + "\" ";
        HWND edit = ChildOfClass(dialog, "Edit");
        ASSERT_NE(edit, nullptr);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        ASSERT_TRUE(ClickButton(dialog, "&Open"));
    }
    std::string Gallery(const char* folder = "General") const { return program_.Path() + "Galleries\\" + folder + "\\"; }
    // The grid's cells that show, in reading order.
    std::vector<HWND> Cells() const {
        std::vector<HWND> cells;
        EnumChildWindows(window_, [](HWND wnd, LPARAM param) -> BOOL {
            char cls[64] = {};
            GetClassNameA(wnd, cls, sizeof cls);
            RECT r{};
            GetClientRect(wnd, &r);
            if (lstrcmpA(cls, "TThumbnail") == 0 && IsWindowVisible(wnd) && r.right > 0 && r.bottom > 0)
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(wnd);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&cells));
        std::sort(cells.begin(), cells.end(), [](HWND a, HWND b) {
            RECT ra, rb;
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
        });
        return cells;
    }
    // Every preview in the gallery has its thumbnail beside it.
    void ExpectNoLonePreview(const char* folder = "General") const {
        for (const auto& name : FilesIn(Gallery(folder))) {
            if (name.rfind("prv_", 0) == 0) {
                EXPECT_TRUE(Exists(Gallery(folder) + "thm_" + name.substr(4))) << name;
            }
        }
    }

    TempFolder program_, elsewhere_, pictures_;
    std::unique_ptr<ProcessUnderTest> vantrell_;
    HWND window_ = nullptr;
};

// Every kind of picture a user brings: the good ones all get a preview and a thumbnail of
// the right shape; the ones that cannot be used are skipped and named in one message.
TEST_F(VantrellGalleries, ABatchKeepsEveryGoodPictureAndNamesTheRefusedOnes) {
    JpegEncodeOptions progressive, grey;
    progressive.progressive = true;
    grey.grayscale = true;
    JpegBytes truncated = GradientPhoto(400, 300);
    truncated.resize(truncated.size() * 3 / 5);
    // Sizes 0 x 0: refused. The others keep their proportions, upright.
    const struct { const char* name; JpegBytes bytes; PictureSize preview, thumbnail; } pictures[] = {
        {"big.jpg", GradientPhoto(6000, 4000), {834, 556}, {150, 100}},  // 24 megapixels
        {"cmyk.jpg", FourComponentJpeg(false), {0, 0}, {0, 0}},
        {"grey.jpg", GradientPhoto(300, 200, grey), {834, 556}, {150, 100}},
        // Stored on its side, as cameras store portraits, with the turn in its Exif data.
        {"portrait.jpg", WithExifOrientation(GradientPhoto(400, 320), 6, true), {603, 754}, {120, 150}},
        {"progressive.jpeg", GradientPhoto(200, 300, progressive), {503, 754}, {100, 150}},
        {"truncated.jpg", truncated, {0, 0}, {0, 0}},
    };
    std::vector<std::string> names;
    for (const auto& p : pictures) {
        Write(pictures_.Path() + p.name, p.bytes);
        names.push_back(p.name);
    }
    Start();
    AddImages(names);
    HWND report = vantrell_->WaitForDialog("Warning", std::chrono::seconds(180));
    ASSERT_NE(report, nullptr);
    std::string text;
    for (const auto& t : ChildTexts(report, "Static")) text += t;
    ASSERT_TRUE(ClickButton(report, "OK"));
    for (const auto& p : pictures) {
        const std::string preview = Gallery() + "prv_" + p.name, thumbnail = Gallery() + "thm_" + p.name;
        if (p.preview.width == 0) {
            EXPECT_NE(text.find(std::string(p.name) + ": "), std::string::npos) << p.name << " not named in: " << text;
            EXPECT_FALSE(Exists(preview)) << p.name;
            EXPECT_FALSE(Exists(thumbnail)) << p.name;
            continue;
        }
        EXPECT_EQ(text.find(p.name), std::string::npos) << p.name << " named in: " << text;
        ASSERT_TRUE(Exists(preview) && Exists(thumbnail)) << p.name;
        const auto info = Probe(preview), small = Probe(thumbnail);
        EXPECT_EQ(info.width, p.preview.width) << p.name;
        EXPECT_EQ(info.height, p.preview.height) << p.name;
        EXPECT_EQ(info.components, 3) << p.name;
        EXPECT_FALSE(info.progressive) << p.name;
        EXPECT_EQ(small.width, p.thumbnail.width) << p.name;
        EXPECT_EQ(small.height, p.thumbnail.height) << p.name;
    }
    ExpectNoLonePreview();
}

// Stopped early in a batch of large pictures, by Cancel or by closing the program: no
// preview is left that the grid cannot show or delete.
TEST_F(VantrellGalleries, AStoppedBatchLeavesNoPreviewWithoutItsThumbnail) {
    const JpegBytes big = GradientPhoto(6000, 4000);
    std::vector<std::string> names;
    for (int i = 1; i <= 8; ++i) {
        names.push_back("big" + std::to_string(i) + ".jpg");
        Write(pictures_.Path() + names.back(), big);
    }
    names.push_back("small.jpg");
    Write(pictures_.Path() + "small.jpg", GradientPhoto(64, 48));
    const struct { const char* how; bool exit; } ways[] = {{"Cancel", false}, {"Exit", true}};
    for (const auto& way : ways) {
        Start();
        AddImages(names);
        HWND processing = vantrell_->WaitForWindow("Processing 9 Images...");
        ASSERT_NE(processing, nullptr) << way.how;
        if (way.exit) {
            ASSERT_TRUE(ClickButton(window_, "E&xit")) << way.how;
            DWORD code = 1;
            EXPECT_TRUE(vantrell_->WaitForExit(std::chrono::seconds(120), &code)) << way.how;
            EXPECT_EQ(code, 0u) << way.how;
        } else {
            ASSERT_TRUE(ClickButton(processing, "Cancel")) << way.how;
            EXPECT_TRUE(PollUntil([&] { return !IsWindow(processing); }, std::chrono::seconds(120))) << way.how;
            PostMessageA(window_, WM_CLOSE, 0, 0);
            EXPECT_TRUE(vantrell_->WaitForExit(std::chrono::seconds(20))) << way.how;
        }
        EXPECT_FALSE(Exists(Gallery() + "thm_small.jpg")) << way.how << ": stopped before the end";
        ExpectNoLonePreview();
        for (const auto& name : FilesIn(Gallery())) std::filesystem::remove(Gallery() + name);
        vantrell_.reset();
        window_ = nullptr;
    }
}

// The grid's pop-up menu opens on the picture itself under the mouse and on the selected
// cell by the menu key, and its "Move Image to" moves the picture.
TEST_F(VantrellGalleries, ThePopupMenuOpensOnThePictureAndByKeyboardAndMoves) {
    CreateDirectoryA((program_.Path() + "Galleries").c_str(), nullptr);
    CreateDirectoryA(Gallery().c_str(), nullptr);
    for (const char* name : {"a.jpg", "b.jpg"}) {
        Write(Gallery() + "prv_" + name, GradientPhoto(834, 556));
        Write(Gallery() + "thm_" + name, GradientPhoto(150, 100));
    }
    Start();
    const struct { const char* how; bool keyboard; int category; const char* folder; const char* moved; } ways[] = {
        {"right click on the picture", false, 4, "Sheer", "a.jpg"},
        {"menu key", true, 3, "Lingerie", "b.jpg"},
    };
    for (const auto& way : ways) {
        // The grid makes its cells anew as the page first shows: wait until the same cells
        // have stood for several looks in a row.
        std::vector<HWND> cells;
        int steady = 0;
        ASSERT_TRUE(PollUntil([&] {
            const auto now = Cells();
            steady = !now.empty() && now == cells ? steady + 1 : 0;
            cells = now;
            return steady >= 6;
        }, std::chrono::seconds(10))) << way.how;
        ASSERT_FALSE(cells.empty()) << way.how;
        // The middle of the cell, where its picture is.
        RECT r;
        GetClientRect(cells.front(), &r);
        const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
        if (way.keyboard) {
            // A click selects the picture; the menu key then asks the grid for its menu.
            PostMessageA(cells.front(), WM_LBUTTONDOWN, MK_LBUTTON, middle);
            PostMessageA(cells.front(), WM_LBUTTONUP, 0, middle);
            PostKey(GetParent(cells.front()), VK_APPS);
        } else {
            PostMessageA(cells.front(), WM_RBUTTONDOWN, MK_RBUTTON, middle);
            PostMessageA(cells.front(), WM_RBUTTONUP, 0, middle);
        }
        HWND menu = vantrell_->WaitForPopupMenu(std::chrono::seconds(10));
        ASSERT_NE(menu, nullptr) << way.how;
        // The open menu reads keys from its thread's queue: Home takes its first item
        // ("Move Image to"), Right opens that item's sub-menu, where Home takes "General".
        for (WORD key : {VK_HOME, VK_RIGHT, VK_HOME}) PostKey(menu, key);
        for (int i = 0; i < way.category; ++i) PostKey(menu, VK_DOWN);
        PostKey(menu, VK_RETURN);
        const std::string target = Gallery(way.folder);
        EXPECT_TRUE(PollUntil([&] { return Exists(target + "thm_" + way.moved); }, std::chrono::seconds(10))) << way.how;
        EXPECT_TRUE(Exists(target + "prv_" + way.moved)) << way.how;
        EXPECT_TRUE(PollUntil([&] { return !Exists(Gallery() + "thm_" + std::string(way.moved)); },
                              std::chrono::seconds(10)))
            << way.how;
    }
}

}  // namespace
}  // namespace testsupport
