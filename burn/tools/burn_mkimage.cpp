// burn_mkimage SOURCE_FOLDER IMAGE_FILE: masters a folder into an image file the way the Burn
// click does with the tree, through the cache thread and the image-file writer. A test tool.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "burn/device_layers.h"
#include "burn/image_file_writer.h"
#include "burn/portable/cd_burner.h"
#include "burn/portable/joliet_names.h"
#include "burn/win_sources.h"

int main() {
    const auto start = std::chrono::steady_clock::now();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) {
        std::fputs("usage: burn_mkimage SOURCE_FOLDER IMAGE_FILE\n", stderr);
        return 2;
    }
    const std::u16string source = reinterpret_cast<const char16_t*>(argv[1]);
    const std::u16string image = reinterpret_cast<const char16_t*>(argv[2]);
    LocalFree(argv);

    burn::WinFolderLister lister;
    burn::WinFileSource files;
    // No device is selected, so no recorder command is sent and the image starts at sector 0.
    burn::TCDBurner burner(burn::ProcessAspiLayer(), burn::SystemClock(), files);
    burner.tree.lister = &lister;
    burner.OnDebugMessage = [](burn::TSCSIDevice&, const std::string& line, std::uint8_t level) {
        std::printf("[%u] %s\n", level, line.c_str());
    };
    burner.setCachePriority = burn::SetCachePriority;
    burner.tree.now = burn::LocalNow();
    burner.ClearFiles();
    burner.tree.InsertDir(burner.tree.Root(), source, false, false, true, 63, u"*.*");
    burner.PrepareImage(burn::DeviceQueries{}, burn::LocalNow(), burn::StandardBiasMinutes());
    std::printf("IMAGE SECTORS %u\n", burner.ImageSectors());
    burner.ISOFileName = image;
    burn::ImageFileWriter writer(image);
    const std::string status = burner.BurnImageFile(writer);
    if (!status.empty()) std::printf("%s\n", status.c_str());
    std::fflush(stdout);
    // For the image benchmark: the time without Wine's start of the process.
    std::fprintf(stderr, "elapsed %.6f\n",
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return status.empty() ? 0 : 1;
}
