#include "forms/unit_versioning.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>

#include "forms/library_startup.h"
#include "forms/system_error.h"
#include "tests/support/process_driver.h"

namespace forms {
namespace {

using testsupport::ExecutableFolder;
using testsupport::ProcessUnderTest;
using testsupport::TempFolder;

const std::string kMapping = UnitVersioningMappingName(GetCurrentProcessId());

// Two modules of this process, as the program and a library it loaded would be.
const ModuleInstance kProgram = reinterpret_cast<ModuleInstance>(0x400000);
const ModuleInstance kPlugin = reinterpret_cast<ModuleInstance>(0x10000000);

const TUnitVersionInfo kFirst{"first.cpp", "r1", "2026-01-01", "", "", nullptr};
const TUnitVersionInfo kSecond{"second.cpp", "r2", "2026-01-02", "", "", nullptr};

// Puts the real system calls back whatever a test replaced.
struct UnitVersioningTest : testing::Test {
    void TearDown() override { KernelCalls = RealKernelObjectCalls(); }
};

struct ProbeResult {
    int mutex = -1;
    int mapping = -1;
    std::uintptr_t address = 0;
};

// What a second process finds of ours by our process id.
ProbeResult Probe() {
    TempFolder folder;
    const std::string out = folder.Path() + "probe.txt";
    ProcessUnderTest probe(ExecutableFolder() + "unit_versioning_probe.exe", std::to_string(GetCurrentProcessId()) + " \"" + out + "\"", "");
    DWORD code = 1;
    EXPECT_TRUE(probe.WaitForExit(std::chrono::seconds(20), &code));
    EXPECT_EQ(code, 0u);
    ProbeResult r;
    std::ifstream in(out);
    std::string word, hex;
    in >> word >> r.mutex >> word >> r.mapping >> word >> hex;
    r.address = static_cast<std::uintptr_t>(std::stoull(hex.empty() ? "0" : hex, nullptr, 16));
    return r;
}

void* ReadMappingFrom(const SharedMemory& memory) {
    void* address = nullptr;
    std::memcpy(&address, memory.View(), sizeof address);
    return address;
}

TEST_F(UnitVersioningTest, ASecondProcessFindsTheRegistryByOurProcessIdUntilStop) {
    LibraryStartup startup(GetModuleHandleA(nullptr));
    startup.Start();
    TUnitVersioning* registry = startup.Versioning().Registry();
    ASSERT_NE(registry, nullptr);
    ASSERT_EQ(registry->ModuleCount(), 1);
    EXPECT_EQ(registry->Modules(0).Count(), static_cast<int>(UtilityUnitRecords().size()));
    EXPECT_NE(registry->Modules(0).Items(0).Revision(), "");

    const ProbeResult running = Probe();
    EXPECT_EQ(running.mutex, 1);
    EXPECT_EQ(running.mapping, 1);
    EXPECT_EQ(running.address, reinterpret_cast<std::uintptr_t>(registry)) << "the whole address";

    startup.Stop();
    const ProbeResult stopped = Probe();
    EXPECT_EQ(stopped.mutex, 0) << "the mutex is freed at stop";
    EXPECT_EQ(stopped.mapping, 0) << "the mapping is closed at stop";
}

TEST_F(UnitVersioningTest, AnAddressAbove4GigabytesIsStoredAndReadWhole) {
    // A registry placed high in the address space: a 4-byte mapping would keep half of it.
    void* memory = VirtualAlloc(nullptr, sizeof(TUnitVersioning), MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE);
    ASSERT_NE(memory, nullptr);
    ASSERT_GT(reinterpret_cast<std::uintptr_t>(memory), std::uintptr_t{0xFFFFFFFF}) << "no memory above 4 GB to test with";
    TUnitVersioning* high = std::construct_at(static_cast<TUnitVersioning*>(memory));
    {
        SharedMemory shared(kMapping, sizeof(void*));
        std::memcpy(shared.View(), &high, sizeof high);
        UnitVersioningClient client(kProgram);
        client.RegisterUnitVersion(kFirst);
        EXPECT_EQ(client.Registry(), high);
        EXPECT_FALSE(client.OwnsRegistry());
        ASSERT_EQ(high->ModuleCount(), 1);
        EXPECT_EQ(high->Modules(0).Items(0).RCSfile(), "first.cpp");
    }
    std::destroy_at(high);
    VirtualFree(memory, 0, MEM_RELEASE);
}

TEST_F(UnitVersioningTest, RegisteringTheSameRecordTwiceKeepsOneEntry) {
    UnitVersioningClient client(kProgram);
    client.RegisterUnitVersion(kFirst);
    client.RegisterUnitVersion(kFirst);
    client.RegisterUnitVersion(kSecond);
    client.RegisterUnitVersion(kFirst);
    TUnitVersioning* registry = client.Registry();
    ASSERT_EQ(registry->ModuleCount(), 1);
    ASSERT_EQ(registry->Modules(0).Count(), 2);
    EXPECT_EQ(registry->Modules(0).Items(0).RCSfile(), "first.cpp");
    EXPECT_EQ(registry->Modules(0).Items(1).RCSfile(), "second.cpp");
}

TEST_F(UnitVersioningTest, ASecondModuleSharesTheRegistryThroughTheMappingOpenedOnce) {
    UnitVersioningClient program(kProgram);
    program.RegisterUnitVersion(kFirst);
    EXPECT_TRUE(program.OwnsRegistry());
    EXPECT_EQ(SharedMemory::OpenCount(kMapping), 1);
    {
        UnitVersioningClient plugin(kPlugin);
        plugin.RegisterUnitVersion(kSecond);
        EXPECT_EQ(SharedMemory::OpenCount(kMapping), 2) << "the open mapping reused with its count";
        EXPECT_EQ(plugin.Registry(), program.Registry());
        EXPECT_FALSE(plugin.OwnsRegistry());
        ASSERT_EQ(program.Registry()->ModuleCount(), 2);
        EXPECT_EQ(program.Registry()->Modules(1).Instance(), kPlugin);
    }
    // The plug-in's shut-down cleared the mapping; the owner's registry goes back into it.
    EXPECT_EQ(SharedMemory::OpenCount(kMapping), 1);
    TUnitVersioning* registry = program.Registry();
    ASSERT_NE(registry, nullptr);
    EXPECT_EQ(registry->ModuleCount(), 2);
    SharedMemory look(kMapping, sizeof(void*));
    EXPECT_EQ(ReadMappingFrom(look), registry);
}

struct RecordingProvider : TCustomUnitVersioningProvider {
    explicit RecordingProvider(std::vector<ModuleInstance>& told) : told(told) {}
    void ReleaseModuleResources(ModuleInstance instance) override { told.push_back(instance); }
    std::vector<ModuleInstance>& told;
};

TEST_F(UnitVersioningTest, UnregisteringRemovesTheModulesEntryAndTellsTheProviders) {
    std::vector<ModuleInstance> told;
    UnitVersioningClient program(kProgram);
    UnitVersioningClient plugin(kPlugin);
    program.RegisterUnitVersion(kFirst);
    plugin.RegisterUnitVersion(kFirst);
    plugin.RegisterUnitVersion(kSecond);
    program.Registry()->AddProvider(std::make_unique<RecordingProvider>(told));
    plugin.UnregisterModule();
    TUnitVersioning* registry = program.Registry();
    ASSERT_EQ(registry->ModuleCount(), 1);
    EXPECT_EQ(registry->Modules(0).Instance(), kProgram);
    EXPECT_EQ(told, std::vector<ModuleInstance>{kPlugin});
}

TEST_F(UnitVersioningTest, AfterShutDownTheMappingReadsZeroAndRegistrationsAreIgnored) {
    SharedMemory watcher(kMapping, sizeof(void*));  // keeps the mapping alive to read it after
    UnitVersioningClient client(kProgram);
    client.RegisterUnitVersion(kFirst);
    EXPECT_EQ(ReadMappingFrom(watcher), client.Registry());
    client.Shutdown();
    EXPECT_EQ(ReadMappingFrom(watcher), nullptr);
    EXPECT_EQ(SharedMemory::OpenCount(kMapping), 1) << "the client's open is closed";
    client.RegisterUnitVersion(kSecond);
    client.UnregisterModule();
    EXPECT_EQ(client.Registry(), nullptr);
    EXPECT_EQ(ReadMappingFrom(watcher), nullptr);
}

TEST_F(UnitVersioningTest, SharedMemoryOpensOncePerProcessAndRefusesToCreateEmpty) {
    const std::string name = "VantrellTestMapping_" + std::to_string(GetCurrentProcessId());
    try {
        SharedMemory empty(name, 0);
        ADD_FAILURE() << "a mapping of 0 bytes was made";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "The MMF named \"" + name + "\" cannot be created empty");
    }
    {
        SharedMemory first(name, 16);
        EXPECT_FALSE(first.AlreadyExisted());
        SharedMemory second(name, 0);  // exists now: size 0 opens it
        EXPECT_TRUE(second.AlreadyExisted());
        EXPECT_EQ(second.View(), first.View());
        EXPECT_EQ(SharedMemory::OpenCount(name), 2);
    }
    EXPECT_EQ(SharedMemory::OpenCount(name), 0);
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()), nullptr) << "unmapped and closed at the last close";
}

TEST_F(UnitVersioningTest, AFailedViewClosesTheMappingItCreated) {
    const std::string name = "VantrellTestMapping_" + std::to_string(GetCurrentProcessId());
    KernelCalls.mapView = [](HANDLE) -> void* {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    };
    try {
        SharedMemory memory(name, 16);
        ADD_FAILURE() << "no view, yet no error";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
        EXPECT_EQ(e.Message, "System Error.  Code: 8.\r\n" + SystemErrorMessage(ERROR_NOT_ENOUGH_MEMORY));
    }
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()), nullptr) << "the mapping's handle leaked";
    EXPECT_EQ(SharedMemory::OpenCount(name), 0);
}

TEST_F(UnitVersioningTest, FailureTextsOfTheSystemCalls) {
    ASSERT_FALSE(SystemErrorMessage(ERROR_ACCESS_DENIED).empty());
    KernelCalls.createMutex = [](const std::string&) -> HANDLE {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    };
    UnitVersioningClient client(kProgram);
    try {
        client.RegisterUnitVersion(kFirst);
        ADD_FAILURE() << "no mutex, yet no error";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.Message, "Failed to create mutex\r\nWin32: " + SystemErrorMessage(ERROR_ACCESS_DENIED) + " (5)");
    }

    // A mapping that cannot be made leaves the module a registry of its own.
    KernelCalls = RealKernelObjectCalls();
    KernelCalls.createMapping = [](const std::string&, std::size_t) -> HANDLE {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    };
    UnitVersioningClient alone(kPlugin);
    alone.RegisterUnitVersion(kSecond);
    EXPECT_TRUE(alone.OwnsRegistry());
    EXPECT_EQ(alone.Registry()->ModuleCount(), 1);
    EXPECT_EQ(SharedMemory::OpenCount(kMapping), 0);

    KernelCalls.getCPInfo = [](UINT, CPINFO&) -> BOOL {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    };
    LibraryStartup startup(GetModuleHandleA(nullptr));
    try {
        startup.Start();
        ADD_FAILURE() << "no code page, yet no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Failed to get ANSI replacement character");
    }
}

TEST_F(UnitVersioningTest, TheReplacementCharacterOfTheWesternCodePage) {
    EXPECT_EQ(CodePageReplacementChar(1252), "?");
}

TEST_F(UnitVersioningTest, ProcessorFeaturesAreReadAtStart) {
    LibraryStartup startup(GetModuleHandleA(nullptr));
    startup.Start();
    const ProcessorFeatures& cpu = StartupProcessorFeatures();
    EXPECT_TRUE(cpu.hasCpuid) << "CPUID always exists on x86-64";
    EXPECT_EQ(cpu.vendorId.size(), 12u);
    EXPECT_NE(cpu.features & kCpuFeatureMMX, 0u) << "every x86-64 processor has MMX";
    EXPECT_EQ(AnsiReplacementChar(), CodePageReplacementChar(GetACP()));
}

}  // namespace
}  // namespace forms
