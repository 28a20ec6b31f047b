// The unit-version registry: each utility unit of a module (the program, or a library it
// loads) registers a record of its source revision at start-up and its module's entry is
// removed at shut-down. Nothing in our programs reads it back; other code in the process can
// find it through the named objects of unit_versioning.h.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace forms {

// One unit's record: constant data, registered by address.
struct TUnitVersionInfo {
    const char* RCSfile;
    const char* Revision;
    const char* Date;
    const char* LogPath;
    const char* Extra;
    const void* Data;
};

class TUnitVersion {
public:
    explicit TUnitVersion(const TUnitVersionInfo* info) : info_(info) {}
    const TUnitVersionInfo* Info() const { return info_; }
    std::string RCSfile() const { return info_->RCSfile; }
    std::string Revision() const { return info_->Revision; }
    std::string Date() const { return info_->Date; }

private:
    const TUnitVersionInfo* info_;
};

// A module instance handle, kept as an opaque address.
using ModuleInstance = const void*;

class TUnitVersioningModule {
public:
    explicit TUnitVersioningModule(ModuleInstance instance) : instance_(instance) {}
    ModuleInstance Instance() const { return instance_; }
    int Count() const { return static_cast<int>(items_.size()); }
    const TUnitVersion& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    // Adds the record unless this module already holds it.
    void Add(const TUnitVersionInfo* info);
    int IndexOfInfo(const TUnitVersionInfo* info) const;

private:
    ModuleInstance instance_;
    std::vector<std::unique_ptr<TUnitVersion>> items_;
};

// Told when a module's entry is removed (a module about to unload).
class TCustomUnitVersioningProvider {
public:
    virtual ~TCustomUnitVersioningProvider() = default;
    virtual void ReleaseModuleResources(ModuleInstance instance) = 0;
};

class TUnitVersioning {
public:
    int ModuleCount() const { return static_cast<int>(modules_.size()); }
    const TUnitVersioningModule& Modules(int index) const { return *modules_.at(static_cast<std::size_t>(index)); }
    // The module's entry, appended at the end when absent; the record added unless held.
    void RegisterModule(ModuleInstance instance, const TUnitVersionInfo* info);
    // Removes the module's entry (the last one for that instance) and tells every provider.
    void UnregisterModule(ModuleInstance instance);
    void AddProvider(std::unique_ptr<TCustomUnitVersioningProvider> provider);
    int IndexOfModule(ModuleInstance instance) const;

private:
    std::vector<std::unique_ptr<TUnitVersioningModule>> modules_;
    std::vector<std::unique_ptr<TCustomUnitVersioningProvider>> providers_;
};

}  // namespace forms
