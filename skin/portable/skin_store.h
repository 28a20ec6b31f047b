// TSkinStore: several skin streams kept together, addressed by position, each under a name
// unique within its collection.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "forms/portable/component.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/streams.h"

namespace skin {

class TSkinCollection;

class TSkinCollectionItem {
public:
    // Named "SkinItem" + the collection's next ID.
    explicit TSkinCollectionItem(TSkinCollection& collection);

    const std::string& Name() const { return name_; }
    // forms::Exception "The name X is already used." when another item carries it (exact case).
    void SetName(const std::string& value);
    std::string SkinData() const { return "Load Skin"; }
    int DataSize() { return static_cast<int>(data_.Size()); }
    int ID() const { return id_; }

    // The held skin stream, exactly as stored.
    forms::TMemoryStream& DataStream() { return data_; }
    // Replaces the held stream with the whole of bytes.
    void ReadDataStream(const void* bytes, std::int64_t size);
    // Copies name and data; the source's position is kept.
    void Assign(TSkinCollectionItem& source);

private:
    TSkinCollection& collection_;
    int id_;
    std::string name_;
    forms::TMemoryStream data_;
};

class TSkinCollection {
public:
    TSkinCollectionItem& Add();
    int Count() const { return static_cast<int>(items_.size()); }
    TSkinCollectionItem& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
    void Clear() { items_.clear(); }
    // Item by item: as many items as the source, each a copy.
    void Assign(TSkinCollection& source);

private:
    friend class TSkinCollectionItem;
    int nextId_ = 0;
    std::vector<std::unique_ptr<TSkinCollectionItem>> items_;
};

class TSkinStore : public forms::TComponent {
public:
    explicit TSkinStore(forms::TComponent* owner) : forms::TComponent(owner) {}
    TSkinCollection& Store() { return store_; }
    // Copies the given collection's items; nullptr is ignored.
    void SetStore(TSkinCollection* value);

private:
    TSkinCollection store_;
};

}  // namespace skin
