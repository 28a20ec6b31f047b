// The unit-version registry shared by every module of the process through two named kernel
// objects, both followed by the process id in decimal: the mutex "MutexUnitVersioning_" that
// guards it, and the file mapping "ShmUnitVersioning_" whose content is the registry's
// address. The first module to find the mapping empty creates the registry and owns it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "forms/gdi_handle.h"
#include "forms/portable/unit_version_registry.h"

namespace forms {

std::string UnitVersioningMutexName(DWORD processId);
std::string UnitVersioningMappingName(DWORD processId);

// The system calls behind the named objects, replaceable by tests in-process; a replacement
// that fails sets the last error as the system would. The defaults are the real calls.
struct KernelObjectCalls {
    std::function<HANDLE(const std::string& name)> createMutex;                  // CreateMutexA, not owned
    std::function<HANDLE(const std::string& name)> openMapping;                  // OpenFileMappingA, all access
    std::function<HANDLE(const std::string& name, std::size_t size)> createMapping;  // paging file, read-write
    std::function<void*(HANDLE mapping)> mapView;                                // MapViewOfFile, all access
    std::function<BOOL(UINT codePage, CPINFO& info)> getCPInfo;
};
extern KernelObjectCalls KernelCalls;
KernelObjectCalls RealKernelObjectCalls();

// One open of a named file mapping. A name this process already has open is reused (its
// open count raised) instead of being opened again; the last close unmaps and closes it.
class SharedMemory {
public:
    // Opens the mapping by name or creates it with `size` bytes. Raises "The MMF named "%s"
    // cannot be created empty" for size 0 when it does not exist yet, and the system's
    // error when it cannot be created or viewed.
    SharedMemory(const std::string& name, std::size_t size);
    ~SharedMemory();
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    void* View() const { return view_; }
    // True when the mapping existed before this open (in this process or another).
    bool AlreadyExisted() const { return existed_; }
    // How many opens of this name the process holds (0 when none).
    static int OpenCount(const std::string& name);

private:
    std::string name_;
    void* view_ = nullptr;
    bool existed_ = false;
};

// What one module keeps of the shared registry: the mutex, its open of the mapping, and the
// registry when this module created it.
class UnitVersioningClient {
public:
    explicit UnitVersioningClient(ModuleInstance module);
    ~UnitVersioningClient();  // shuts down
    UnitVersioningClient(const UnitVersioningClient&) = delete;
    UnitVersioningClient& operator=(const UnitVersioningClient&) = delete;

    // Adds the record to this module's entry (once); ignored after shut-down.
    void RegisterUnitVersion(const TUnitVersionInfo& info);
    // Removes this module's entry and tells the providers; ignored after shut-down.
    void UnregisterModule();
    // Clears the mapping's content, closes it, frees the registry when this module owns it
    // and frees the mutex; errors are swallowed. Later registrations are ignored.
    void Shutdown() noexcept;

    // The registry, obtained as a registration does; nullptr after shut-down. Raises
    // "Failed to create mutex" when the mutex cannot be had.
    TUnitVersioning* Registry();
    bool OwnsRegistry() const { return owned_ != nullptr && registry_ == owned_.get(); }

private:
    class MutexHold;
    TUnitVersioning* RegistryHeld();
    TUnitVersioning* ReadMapping() const;
    void WriteMapping(TUnitVersioning* registry) const;

    ModuleInstance module_;
    bool shutDown_ = false;
    UniqueKernelHandle mutex_;
    std::unique_ptr<SharedMemory> mapping_;
    TUnitVersioning* registry_ = nullptr;
    std::unique_ptr<TUnitVersioning> owned_;
};

}  // namespace forms
