// TStrings: the abstract list of strings with an object per entry. Lists held in memory
// (TStringList) and lists held by a window (combo and list boxes) derive from it and supply
// the storage primitives; everything else is built on those.
#pragma once
#include "forms/portable/object.h"
#include "forms/portable/text_case.h"

#include <string>
#include <string_view>

namespace forms {

class TStream;

class TStrings : public TObject {
public:

    // Storage primitives.
    virtual std::string Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear();
    // Default: replace by Delete and Insert, keeping the object.
    virtual void Put(int index, const std::string& s);
    // Not GetObject: <windows.h> turns that name into GetObjectA.
    virtual TObject* GetObjectAt(int index) const;
    virtual void PutObjectAt(int index, TObject* object);
    // A sorted list places new strings itself and finds them by binary search.
    virtual int Add(const std::string& s);
    virtual int IndexOf(std::string_view s) const;
    // Ordering and equality of strings; case-insensitive for ASCII letters by default.
    virtual int CompareStrings(std::string_view a, std::string_view b) const;

    int Count() const { return GetCount(); }
    std::string Strings(int index) const { return Get(index); }
    std::string operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObjectAt(index); }

    int AddObject(const std::string& s, TObject* object);
    void InsertObject(int index, const std::string& s, TObject* object);
    int IndexOfObject(const TObject* object) const;
    void AddStrings(const TStrings& source);
    void Assign(const TStrings& source);
    void Exchange(int index1, int index2);
    void Move(int currentIndex, int newIndex);
    bool Equals(const TStrings& other) const;

    // name=value entries; names compare like CompareStrings.
    int IndexOfName(std::string_view name) const;
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    std::string Values(std::string_view name) const;
    // An empty value removes the entry.
    void SetValue(std::string_view name, std::string_view value);

    // Every line followed by CR LF; read back split on CR LF, LF or CR.
    std::string Text() const;
    void SetText(std::string_view text);
    // Comma-separated, entries with spaces, commas, quotes or control characters quoted.
    std::string CommaText() const;
    void SetCommaText(std::string_view text);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

protected:
    // Called when the first BeginUpdate starts and the last EndUpdate ends an update.
    virtual void SetUpdateState(bool updating);
    // Raises EListError "List index out of bounds (n)" unless 0 <= index < limit.
    static void CheckIndex(int index, int limit);

private:
    int updateCount_ = 0;
};

}  // namespace forms
