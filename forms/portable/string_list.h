// TStringList: a TStrings held in memory, optionally kept sorted for binary search.
#pragma once
#include "forms/portable/strings.h"

#include <functional>
#include <vector>

namespace forms {

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    // The same shape as TNotifyEvent, so that one handler serves both.
    using TChangeEvent = std::function<void(TObject* Sender)>;
    // Negative, zero or positive as the entry at index1 sorts before, with or after index2.
    using TSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

    std::string Get(int index) const override;
    int GetCount() const override { return static_cast<int>(items_.size()); }
    // Insert and Put raise EListError on a sorted list: the list chooses the place itself.
    void Insert(int index, const std::string& s) override;
    void Put(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    TObject* GetObjectAt(int index) const override;
    void PutObjectAt(int index, TObject* object) override;
    // On a sorted list: dupIgnore answers the index of the entry already there, dupError raises
    // EListError, dupAccept adds before the equal entries.
    int Add(const std::string& s) override;
    int IndexOf(std::string_view s) const override;
    int CompareStrings(std::string_view a, std::string_view b) const override;

    // Binary search of a sorted list; index is where s is or would be inserted.
    bool Find(std::string_view s, int& index) const;
    void Sort();
    // Sorts an unsorted list; the comparison sees the list as it was before sorting.
    void CustomSort(const TSortCompare& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    // Off by default: letters compare without regard to case.
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);

    // Fired around each change, or once around a BeginUpdate/EndUpdate block.
    TChangeEvent OnChanging;
    TChangeEvent OnChange;

protected:
    void SetUpdateState(bool updating) override;
    virtual void Changing();
    virtual void Changed();

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };

    void InsertItem(int index, const std::string& s, TObject* object);
    void Reorder(const std::vector<int>& order);

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

}  // namespace forms
