#include "forms/portable/string_list.h"

#include "forms/portable/exceptions.h"

#include <algorithm>
#include <numeric>

namespace forms {

namespace {

[[noreturn]] void ThrowSortedListError() { throw EListError("Operation not allowed on sorted list"); }

}  // namespace

std::string TStringList::Get(int index) const {
    CheckIndex(index, GetCount());
    return items_[static_cast<size_t>(index)].text;
}

void TStringList::Insert(int index, const std::string& s) {
    if (sorted_) ThrowSortedListError();
    CheckIndex(index, GetCount() + 1);
    InsertItem(index, s, nullptr);
}

void TStringList::Put(int index, const std::string& s) {
    if (sorted_) ThrowSortedListError();
    CheckIndex(index, GetCount());
    Changing();
    items_[static_cast<size_t>(index)].text = s;
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index, GetCount());
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

TObject* TStringList::GetObjectAt(int index) const {
    CheckIndex(index, GetCount());
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::PutObjectAt(int index, TObject* object) {
    CheckIndex(index, GetCount());
    Changing();
    items_[static_cast<size_t>(index)].object = object;
    Changed();
}

int TStringList::Add(const std::string& s) {
    if (!sorted_) {
        InsertItem(GetCount(), s, nullptr);
        return GetCount() - 1;
    }
    int index = 0;
    if (Find(s, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EListError("String list does not allow duplicates");
    }
    InsertItem(index, s, nullptr);
    return index;
}

int TStringList::IndexOf(std::string_view s) const {
    if (!sorted_) return TStrings::IndexOf(s);
    int index = 0;
    return Find(s, index) ? index : -1;
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return caseSensitive_ ? CompareTextCased(a, b) : CompareTextAscii(a, b);
}

bool TStringList::Find(std::string_view s, int& index) const {
    // The first entry not ordered before s, so that among equal entries the first is found.
    int low = 0;
    int high = GetCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareStrings(items_[static_cast<size_t>(middle)].text, s) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    index = low;
    return low < GetCount() && CompareStrings(items_[static_cast<size_t>(low)].text, s) == 0;
}

void TStringList::Sort() {
    if (GetCount() < 2) return;
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return CompareStrings(items_[static_cast<size_t>(a)].text, items_[static_cast<size_t>(b)].text) < 0;
    });
    Reorder(order);
}

void TStringList::CustomSort(const TSortCompare& compare) {
    if (sorted_ || GetCount() < 2) return;
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    Reorder(order);
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == caseSensitive_) return;
    caseSensitive_ = caseSensitive;
    if (sorted_) Sort();
}

void TStringList::SetUpdateState(bool updating) {
    // Inside an update block the per-change events are held back; this pair stands for them.
    if (updating) {
        if (OnChanging) OnChanging(this);
    } else {
        if (OnChange) OnChange(this);
    }
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Reorder(const std::vector<int>& order) {
    bool moved = false;
    for (size_t i = 0; i < order.size() && !moved; ++i) moved = order[i] != static_cast<int>(i);
    if (!moved) return;
    Changing();
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(std::move(items_[static_cast<size_t>(i)]));
    items_ = std::move(sorted);
    Changed();
}

}  // namespace forms
