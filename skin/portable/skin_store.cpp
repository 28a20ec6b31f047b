#include "skin/portable/skin_store.h"

namespace skin {

TSkinCollectionItem::TSkinCollectionItem(TSkinCollection& collection)
    : collection_(collection), id_(collection.nextId_++), name_("SkinItem" + std::to_string(id_)) {}

void TSkinCollectionItem::SetName(const std::string& value) {
    if (value == name_) return;
    for (const auto& other : collection_.items_) {
        if (other.get() != this && other->name_ == value) throw forms::Exception("The name " + value + " is already used.");
    }
    name_ = value;
}

void TSkinCollectionItem::ReadDataStream(const void* bytes, std::int64_t size) {
    data_.Clear();
    if (size > 0) data_.WriteBuffer(bytes, size);
    data_.SetPosition(0);
}

void TSkinCollectionItem::Assign(TSkinCollectionItem& source) {
    if (&source == this) return;
    name_ = source.name_;
    const std::int64_t position = source.data_.Position();
    ReadDataStream(source.data_.Memory(), source.data_.Size());
    source.data_.SetPosition(position);
}

TSkinCollectionItem& TSkinCollection::Add() {
    items_.push_back(std::make_unique<TSkinCollectionItem>(*this));
    return *items_.back();
}

void TSkinCollection::Assign(TSkinCollection& source) {
    if (&source == this) return;
    items_.clear();
    for (const auto& item : source.items_) Add().Assign(*item);
}

void TSkinStore::SetStore(TSkinCollection* value) {
    if (value) store_.Assign(*value);
}

}  // namespace skin
