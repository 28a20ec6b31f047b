// Choosing the layer: the pass-through layer when preferred and a drive answers, else the ASPI
// libraries in their order, and the pass-through layer as the last resort.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "burn/portable/aspi_loader.h"
#include "burn/tests/portable/fake_drives.h"

namespace burn {
namespace {

using namespace testing_support;

std::uint32_t g_supportCalls = 0;
std::uint32_t WnaspiSupport() { ++g_supportCalls; return 0x0101; }
std::uint32_t WnaspiSend(void*) { return 0x77; }

struct FakeLibrary {
    std::uintptr_t Handle;
    bool Support = true, Send = true;
    bool Throws = false;
};

struct Machine {
    std::map<std::string, FakeLibrary> Libraries;
    std::vector<std::string> Loads;
    std::multiset<std::uintptr_t> Freed;
    std::vector<std::uint32_t> ErrorModes;
    std::uint32_t ErrorMode = 0x8000;
    FakeDrives Drives;

    LibraryPlatform Platform() {
        LibraryPlatform p;
        p.Load = [this](const std::string& name) -> std::uintptr_t {
            Loads.push_back(name);
            auto it = Libraries.find(name);
            if (it == Libraries.end()) return 0;
            if (it->second.Throws) throw std::runtime_error("load failed");
            return it->second.Handle;
        };
        p.Find = [this](std::uintptr_t lib, const char* name) -> void* {
            for (const auto& [file, l] : Libraries) {
                if (l.Handle != lib) continue;
                const std::string n = name;
                if (l.Support && n.find("SupportInfo") != std::string::npos) return reinterpret_cast<void*>(&WnaspiSupport);
                if (l.Send && n.find("Command") != std::string::npos) return reinterpret_cast<void*>(&WnaspiSend);
            }
            return nullptr;
        };
        p.Free = [this](std::uintptr_t lib) {
            Freed.insert(lib);
            return true;
        };
        p.SetErrorMode = [this](std::uint32_t mode) {
            ErrorModes.push_back(mode);
            return std::exchange(ErrorMode, mode);
        };
        return p;
    }
};

TEST(AspiLoader, ChoosesTheLayer) {
    struct Case {
        const char* name;
        bool prefer;
        bool cdDrive;
        std::map<std::string, FakeLibrary> libraries;
        bool loaded;
        const char* layerName;
        std::vector<std::string> loads;
        std::multiset<std::uintptr_t> freed;
    };
    const Case cases[] = {
        {"preferred pass-through with a drive", true, true, {{".\\WNASPI32.DLL", {0x1000}}}, true, "REVADI32", {}, {}},
        {"preferred pass-through without a drive", true, false, {{".\\WNASPI32.DLL", {0x1000}}}, true, "WNASPI32.DLL",
         {".\\WNASPI32.DLL"}, {}},
        {"working folder copy first", false, true, {{".\\WNASPI32.DLL", {0x1000}}, {"WNASPI32.DLL", {0x2000}}}, true,
         "WNASPI32.DLL", {".\\WNASPI32.DLL"}, {}},
        {"system copy", false, true, {{"WNASPI32.DLL", {0x2000}}}, true, "WNASPI32.DLL",
         {".\\WNASPI32.DLL", "WNASPI32.DLL"}, {}},
        {"a handle of 31 is no module", false, false, {{".\\WNASPI32.DLL", {31}}, {"WNASPI32.DLL", {0x2000}}}, true,
         "WNASPI32.DLL", {".\\WNASPI32.DLL", "WNASPI32.DLL"}, {}},
        {"a load that raises is no module", false, false, {{".\\WNASPI32.DLL", {0x1000, true, true, true}},
         {"ASAPI.DLL", {0x3000}}}, true, "ASAPI.DLL", {".\\WNASPI32.DLL", "WNASPI32.DLL", "ASAPI.DLL"}, {}},
        {"library without its entries is freed, the next tried", false, false,
         {{".\\WNASPI32.DLL", {0x1000, true, false}}, {"WNASPI32.DLL", {0x2000, false, true}}, {"ASAPI.DLL", {0x3000}}},
         true, "ASAPI.DLL", {".\\WNASPI32.DLL", "WNASPI32.DLL", "ASAPI.DLL"}, {0x1000, 0x2000}},
        {"no library: the pass-through layer", false, true, {}, true, "REVADI32",
         {".\\WNASPI32.DLL", "WNASPI32.DLL", "ASAPI.DLL"}, {}},
        {"nothing at all", true, false, {{"ASAPI.DLL", {0x3000, false, false}}}, false, "",
         {".\\WNASPI32.DLL", "WNASPI32.DLL", "ASAPI.DLL"}, {0x3000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        m.Libraries = c.libraries;
        if (c.cdDrive) m.Drives.Cd('E');
        AspiLayer layer;
        SptiLayer spti(m.Drives.Platform());
        AspiLoader loader(layer, spti, m.Platform());
        g_supportCalls = 0;
        EXPECT_EQ(loader.LoadASPILayer(c.prefer), c.loaded);
        EXPECT_EQ(layer.ASPIInitialized, c.loaded);
        EXPECT_EQ(layer.ASPILayerName, c.layerName);
        EXPECT_EQ(m.Loads, c.loads);
        EXPECT_EQ(m.Freed, c.freed);
        EXPECT_EQ(bool(layer.SendCommandEntry), c.loaded) << "no entry is left behind a failed load";
        EXPECT_EQ(layer.PreferSPTIUsed, c.prefer);
        EXPECT_EQ(m.ErrorModes, (std::vector<std::uint32_t>{kFailCriticalErrors, 0x8000}));
        if (c.loaded && std::string(c.layerName) != "REVADI32") {
            EXPECT_EQ(g_supportCalls, 1u);
            EXPECT_EQ(layer.SendCommandEntry(nullptr), 0x77u);
            EXPECT_NE(layer.ASPILibrary, 0u);
        }
    }
}

TEST(AspiLoader, ReloadRescansThePassThroughDrives) {
    Machine m;
    m.Drives.Cd('E');
    AspiLayer layer;
    SptiLayer spti(m.Drives.Platform());
    AspiLoader loader(layer, spti, m.Platform());
    ASSERT_TRUE(loader.LoadASPILayer(true));
    EXPECT_EQ(layer.SupportInfoEntry(), 0x102u);
    m.Drives.Cd('F');
    EXPECT_TRUE(loader.ReloadASPILayer());
    EXPECT_EQ(layer.ASPILayerName, "REVADI32");
    EXPECT_EQ(layer.SupportInfoEntry(), 0x102u);
    EXPECT_EQ(spti.FindDrive(1, 1, 0), 'F' - 'A');
}

TEST(AspiLoader, ReloadAndUnloadOfALibrary) {
    Machine m;
    m.Libraries["WNASPI32.DLL"] = {0x2000};
    AspiLayer layer;
    SptiLayer spti(m.Drives.Platform());
    {
        AspiLoader loader(layer, spti, m.Platform());
        ASSERT_TRUE(loader.LoadASPILayer(false));
        EXPECT_TRUE(loader.ReloadASPILayer());
        EXPECT_EQ(m.Freed.count(0x2000), 1u);
        EXPECT_EQ(layer.ASPILayerName, "WNASPI32.DLL");
        EXPECT_TRUE(loader.UnloadASPILibrary());
        EXPECT_EQ(m.Freed.count(0x2000), 2u);
        EXPECT_FALSE(layer.ASPIInitialized);
        EXPECT_FALSE(bool(layer.SendCommandEntry));
        EXPECT_TRUE(loader.UnloadASPILibrary());  // nothing loaded: nothing to free
        EXPECT_EQ(m.Freed.count(0x2000), 2u);
        ASSERT_TRUE(loader.LoadASPILayer(false));
    }
    EXPECT_EQ(m.Freed.count(0x2000), 3u) << "the loader frees its library at the end";
    EXPECT_EQ(layer.ASPILayerName, "");
}

}  // namespace
}  // namespace burn
