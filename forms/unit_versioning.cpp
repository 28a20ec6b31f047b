#include "forms/unit_versioning.h"

#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "forms/system_error.h"

namespace forms {

namespace {

struct OpenMapping {
    std::string name;
    UniqueKernelHandle handle;
    UniqueMappedView view;
    int count = 0;
};

// The process's opened mappings. Made on first use; C++ makes that first use race-free.
struct MappingTable {
    std::mutex lock;
    std::vector<std::unique_ptr<OpenMapping>> entries;

    OpenMapping* Find(const std::string& name) {
        for (const auto& e : entries)
            if (e->name == name) return e.get();
        return nullptr;
    }
};

MappingTable& Mappings() {
    static MappingTable table;
    return table;
}

}  // namespace

KernelObjectCalls RealKernelObjectCalls() {
    KernelObjectCalls calls;
    calls.createMutex = [](const std::string& name) { return CreateMutexA(nullptr, FALSE, name.c_str()); };
    calls.openMapping = [](const std::string& name) { return OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()); };
    calls.createMapping = [](const std::string& name, std::size_t size) {
        const auto bytes = static_cast<std::uint64_t>(size);
        return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(bytes >> 32),
                                  static_cast<DWORD>(bytes), name.c_str());
    };
    calls.mapView = [](HANDLE mapping) { return MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0); };
    calls.getCPInfo = [](UINT codePage, CPINFO& info) { return GetCPInfo(codePage, &info); };
    return calls;
}

KernelObjectCalls KernelCalls = RealKernelObjectCalls();

std::string UnitVersioningMutexName(DWORD processId) { return "MutexUnitVersioning_" + std::to_string(processId); }
std::string UnitVersioningMappingName(DWORD processId) { return "ShmUnitVersioning_" + std::to_string(processId); }

SharedMemory::SharedMemory(const std::string& name, std::size_t size) : name_(name) {
    MappingTable& table = Mappings();
    std::lock_guard<std::mutex> hold(table.lock);
    if (OpenMapping* open = table.Find(name)) {
        ++open->count;
        view_ = open->view.get();
        existed_ = true;
        return;
    }
    auto open = std::make_unique<OpenMapping>();
    open->name = name;
    open->handle.reset(KernelCalls.openMapping(name));
    existed_ = static_cast<bool>(open->handle);
    if (!existed_) {
        if (size == 0) throw Exception(Format("The MMF named \"%s\" cannot be created empty", name.c_str()));
        open->handle.reset(KernelCalls.createMapping(name, size));
        if (!open->handle) RaiseLastOSError();
    }
    open->view.reset(KernelCalls.mapView(open->handle.get()));
    if (!open->view) RaiseLastOSError();
    open->count = 1;
    view_ = open->view.get();
    table.entries.push_back(std::move(open));
}

SharedMemory::~SharedMemory() {
    MappingTable& table = Mappings();
    std::lock_guard<std::mutex> hold(table.lock);
    for (auto it = table.entries.begin(); it != table.entries.end(); ++it) {
        if ((*it)->name != name_) continue;
        if (--(*it)->count == 0) table.entries.erase(it);
        return;
    }
}

int SharedMemory::OpenCount(const std::string& name) {
    MappingTable& table = Mappings();
    std::lock_guard<std::mutex> hold(table.lock);
    const OpenMapping* open = table.Find(name);
    return open != nullptr ? open->count : 0;
}

// Holds the named mutex for one scope (an infinite wait, as every module of the process
// waits for the others).
class UnitVersioningClient::MutexHold {
public:
    explicit MutexHold(HANDLE mutex) : mutex_(mutex) { WaitForSingleObject(mutex_, INFINITE); }
    ~MutexHold() { ReleaseMutex(mutex_); }
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;

private:
    HANDLE mutex_;
};

UnitVersioningClient::UnitVersioningClient(ModuleInstance module) : module_(module) {}

UnitVersioningClient::~UnitVersioningClient() { Shutdown(); }

TUnitVersioning* UnitVersioningClient::Registry() {
    if (shutDown_) return nullptr;
    if (!mutex_) {
        mutex_.reset(KernelCalls.createMutex(UnitVersioningMutexName(GetCurrentProcessId())));
        if (!mutex_) RaiseWin32Error("Failed to create mutex", GetLastError());
    }
    MutexHold hold(mutex_.get());
    return RegistryHeld();
}

TUnitVersioning* UnitVersioningClient::RegistryHeld() {
    if (registry_ == nullptr) {
        try {
            mapping_ = std::make_unique<SharedMemory>(UnitVersioningMappingName(GetCurrentProcessId()), sizeof(void*));
        } catch (const Exception&) {
            // No mapping to be had: this module keeps a registry of its own.
            mapping_.reset();
        }
        if (mapping_ != nullptr) registry_ = ReadMapping();
        if (registry_ != nullptr) return registry_;
    } else if (mapping_ != nullptr) {
        if (TUnitVersioning* current = ReadMapping()) return registry_ = current;
        // Another module's shut-down cleared the mapping: ours, when we have one, goes back.
        if (owned_ != nullptr) {
            registry_ = owned_.get();
            WriteMapping(registry_);
            return registry_;
        }
    } else {
        return registry_;
    }
    owned_ = std::make_unique<TUnitVersioning>();
    registry_ = owned_.get();
    if (mapping_ != nullptr) WriteMapping(registry_);
    return registry_;
}

TUnitVersioning* UnitVersioningClient::ReadMapping() const {
    TUnitVersioning* registry = nullptr;
    std::memcpy(&registry, mapping_->View(), sizeof registry);
    return registry;
}

void UnitVersioningClient::WriteMapping(TUnitVersioning* registry) const { std::memcpy(mapping_->View(), &registry, sizeof registry); }

void UnitVersioningClient::RegisterUnitVersion(const TUnitVersionInfo& info) {
    if (TUnitVersioning* registry = Registry()) registry->RegisterModule(module_, &info);
}

void UnitVersioningClient::UnregisterModule() {
    if (TUnitVersioning* registry = Registry()) registry->UnregisterModule(module_);
}

void UnitVersioningClient::Shutdown() noexcept {
    if (shutDown_) return;
    shutDown_ = true;
    try {
        if (mutex_) {
            MutexHold hold(mutex_.get());
            if (mapping_ != nullptr) WriteMapping(nullptr);
            mapping_.reset();
        }
    } catch (...) {
        // A program on its way out has no one to tell.
    }
    mapping_.reset();
    registry_ = nullptr;
    owned_.reset();
    mutex_.reset();
}

}  // namespace forms
