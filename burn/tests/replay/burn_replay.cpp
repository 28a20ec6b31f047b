// A small Windows program that drives a recorder the way a burn does, through the real loader
// and the recorder commands. Run under Wine by the virtual recorder's end-to-end tests.
//   burn_replay --load             loads the layer; prints what was loaded
//   burn_replay --spti             prints the drive type of D: and the drives the pass-through layer lists
//   burn_replay --pattern SECTORS  burns that many sectors of the test pattern
//   burn_replay --image FILE       burns the file (a multiple of 2048 bytes)
//   burn_replay --burn FOLDER      masters the folder and burns it with the burner's BurnCD, as
//                                  vantburn does; prints the log and the result
//   burn_replay --append FOLDER    imports the disc's last session, adds the folder's files and
//                                  burns the result as a new session at the next writable address
//   burn_replay --ready [HA:T]     one TEST UNIT READY (to the first recorder, or to that address);
//                                  prints its result, error, duration and the requests left behind
// Exit code 0 when everything asked for succeeded.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "burn/device_layers.h"
#include "burn/portable/cd_burner.h"
#include "burn/portable/joliet_names.h"
#include "burn/portable/scsi_device.h"
#include "burn/tests/replay/replay_pattern.h"
#include "burn/win_platform.h"
#include "burn/win_sources.h"

namespace {

using namespace burn;

constexpr std::uint32_t kBlockSectors = 31;

int Fail(TSCSIDevice& d, const char* what) {
    std::printf("FAILED %s: %s\n", what, d.LastError.c_str());
    return 1;
}

bool FindRecorder(TSCSIDevice& d) {
    const std::uint32_t info = ProcessAspiLayer().SupportInfoEntry();
    const int adapters = (info >> 8) == kSsComp ? static_cast<int>(info & 0xFF) : 0;
    for (int ha = 0; ha < adapters; ++ha) {
        for (int target = 0; target < 8; ++target) {
            d.HaId = static_cast<std::uint8_t>(ha);
            d.Target = static_cast<std::uint8_t>(target);
            d.Lun = 0;
            d.InquiryBuffer.fill(0);
            if (d.Inquiry() && (d.InquiryBuffer[0] & 0x1F) == 5) return true;
        }
    }
    d.HaId = d.Target = d.Lun = kNoDevice;
    return false;
}

bool ReadCapabilities(TSCSIDevice& d) {
    std::uint8_t page[128];
    if (!d.ModeSense10(kCapabilitiesPageCode, page, false, sizeof page, sizeof page - 1)) return false;
    const std::size_t at = ModePageStart({page, sizeof page}, kCapabilitiesPageCode);
    if (page[at + 4] & 0x80) d.Capabilities |= kCapUnderrunFree;
    if (page[at + 3] & 0x04) d.Capabilities |= kCapTestWrite;
    return true;
}

bool LoadLayer() {
    if (ProcessAspiLoader().LoadASPILayer(false)) return true;
    std::printf("FAILED load\n");
    return false;
}

// The burner of --burn and --append, wired as the burn window wires it (ConnectBurner), its log
// printed with each line's level, its outcome kept.
struct FolderBurn {
    WinFolderLister lister;
    WinFileSource files;
    TCDBurner burner;
    std::string result = "NO RESULT";
    DWORD doneThread = 0;
    int doneCalls = 0;

    FolderBurn() : burner(ProcessAspiLayer(), SystemClock(), files) {
        ConnectBurner(burner);
        burner.tree.lister = &lister;
        burner.tree.now = LocalNow();
        burner.OnDebugMessage = [](TSCSIDevice&, const std::string& text, std::uint8_t level) {
            std::printf("[%u] %s\n", level, text.c_str());
        };
        burner.OnWriteDone = [this](TCDBurner&, const std::string& error) {
            result = error;
            doneThread = GetCurrentThreadId();
            ++doneCalls;
        };
    }
    // The folder's files alone in the tree.
    bool SetFolder(const std::string& folder) {
        burner.ClearFiles();
        if (burner.tree.InsertDir(burner.tree.Root(), Utf16(folder), false, false, true, 63, u"*.*")) return true;
        std::printf("FAILED insert %s\n", folder.c_str());
        return false;
    }
};

int Burn(const std::vector<std::uint8_t>& image) {
    if (!LoadLayer()) return 2;
    TSCSIDevice d(ProcessAspiLayer(), SystemClock());
    d.OnDebugMessage = [](TSCSIDevice&, const std::string& text, std::uint8_t) { std::printf("%s\n", text.c_str()); };
    if (!FindRecorder(d)) return Fail(d, "no recorder");
    std::printf("recorder %d:%d:%d %.28s\n", d.HaId, d.Target, d.Lun, reinterpret_cast<const char*>(&d.InquiryBuffer[8]));
    if (!ReadCapabilities(d)) return Fail(d, "capabilities");
    std::uint8_t disc[56];
    if (!d.ReadDiscInformation(disc, sizeof disc)) return Fail(d, "disc information");
    if ((disc[2] & 3) != 0) return Fail(d, "blank disc");
    if (!d.ReadTrackInformation(255)) return Fail(d, "track information");
    const std::uint32_t start = d.TrackInfo.NextWritable;
    d.FinalizeDisc = true;
    if (!d.SetWriteParameters(false, true, 2)) return Fail(d, "write parameters");

    std::uint32_t written = 0;
    const auto sectors = static_cast<std::uint32_t>(image.size() / 2048);
    for (int poll = 0; written < sectors; --poll) {
        if (poll <= 0) {
            std::uint32_t size = 0, free = 0;
            if (d.ReadBufferCapacity(size, free)) poll = 5;
        }
        const std::uint32_t n = std::min(kBlockSectors, sectors - written);
        if (!d.Write10(start + written, static_cast<std::uint16_t>(n), 0x50, n * 2048, &image[std::size_t{written} * 2048])) {
            return Fail(d, "write");
        }
        written += n;
    }
    if (!d.SynchronizeCache(300000, false)) return Fail(d, "flush");
    if (!d.CloseTrackSession(false, false)) return Fail(d, "close session");
    std::printf("burned %u sectors at %u\n", written, start);
    return 0;
}

// The burner's tree with the last session imported at layout time, laid out at the next
// writable address and burnt there as a session that leaves the disc appendable.
int Append(const std::string& folder) {
    if (!LoadLayer()) return 2;
    FolderBurn b;
    TCDBurner& burner = b.burner;
    if (!FindRecorder(burner)) return Fail(burner, "no recorder");
    if (!ReadCapabilities(burner)) return Fail(burner, "capabilities");
    if (!b.SetFolder(folder)) return 1;
    burner.FinalizeDisc = false;
    burner.SetSessionToImport(0xFFFF);
    burner.PrepareImage(burner.SelectedDevice(), LocalNow(), StandardBiasMinutes());
    const std::uint32_t start = burner.Layout().sessionStart;
    if (start == 0) return Fail(burner, "next writable address");
    burner.BurnCD();
    burner.WaitForWriter();
    if (!b.result.empty()) return Fail(burner, b.result.c_str());
    std::printf("appended %u sectors at %u, volume end %u\n", burner.ImageSectors(), start, burner.Layout().end);
    return 0;
}

int BurnFolder(const std::string& folder) {
    if (!LoadLayer()) return 2;
    FolderBurn b;
    TCDBurner& burner = b.burner;
    burner.FinalizeDisc = true;
    if (!FindRecorder(burner)) return Fail(burner, "no recorder");
    if (!b.SetFolder(folder)) return 1;
    burner.PrepareImage(burner.SelectedDevice(), LocalNow(), StandardBiasMinutes());
    std::printf("image sectors %u at %u\n", burner.ImageSectors(), burner.Layout().sessionStart);
    const bool started = burner.BurnCD();
    burner.WaitForWriter();
    std::printf("started=%d done=%d on %s thread bytes=%llu result=\"%s\"\n", started ? 1 : 0, b.doneCalls,
                b.doneThread == GetCurrentThreadId() ? "the calling" : "another",
                static_cast<unsigned long long>(burner.BytesWritten.load()), b.result.c_str());
    return b.result.empty() ? 0 : 1;
}

int Ready(const char* address) {
    if (!ProcessAspiLoader().LoadASPILayer(false)) return 2;
    TSCSIDevice d(ProcessAspiLayer(), SystemClock());
    unsigned ha = 0, target = 0;
    if (address != nullptr && std::sscanf(address, "%u:%u", &ha, &target) == 2) {
        d.HaId = static_cast<std::uint8_t>(ha);
        d.Target = static_cast<std::uint8_t>(target);
        d.Lun = 0;
    } else if (!FindRecorder(d)) {
        return Fail(d, "no recorder");
    }
    const ULONGLONG start = GetTickCount64();
    const bool ready = d.TestUnitReady(1000);
    std::printf("ready=%d error=%s ms=%llu abandoned=%u\n", ready ? 1 : 0, d.LastError.c_str(),
                GetTickCount64() - start, static_cast<unsigned>(AbandonedRequestCount()));
    return 0;
}

int Load() {
    const bool loaded = ProcessAspiLoader().LoadASPILayer(false);
    const AspiLayer& layer = ProcessAspiLayer();
    std::printf("loaded=%d layer=%s support=%04X\n", loaded ? 1 : 0, layer.ASPILayerName.c_str(),
                loaded ? static_cast<unsigned>(layer.SupportInfoEntry()) : 0u);
    return 0;
}

int Spti() {
    SptiLayer spti(WindowsSptiPlatform());
    std::printf("type D:=%u drives=%u\n", GetDriveTypeA("D:\\"), static_cast<unsigned>(spti.SPTIInitialize()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--load") return Load();
    if (mode == "--spti") return Spti();
    if (mode == "--ready") return Ready(argc > 2 ? argv[2] : nullptr);
    if (mode == "--burn" && argc > 2) return BurnFolder(argv[2]);
    if (mode == "--append" && argc > 2) return Append(argv[2]);
    if (mode == "--pattern" && argc > 2) return Burn(testing_support::ReplayPattern(std::stoul(argv[2])));
    if (mode == "--image" && argc > 2) {
        std::ifstream in(argv[2], std::ios::binary);
        std::vector<std::uint8_t> image;
        if (in) image.assign(std::istreambuf_iterator<char>(in), {});
        if (image.empty() || image.size() % 2048 != 0) {
            std::printf("FAILED image %s\n", argv[2]);
            return 3;
        }
        return Burn(image);
    }
    std::printf("usage: burn_replay --load | --spti | --ready | --pattern SECTORS | --image FILE | --append FOLDER | --burn FOLDER\n");
    return 4;
}
