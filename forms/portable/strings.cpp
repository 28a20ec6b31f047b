#include "forms/portable/strings.h"

#include "forms/portable/exceptions.h"
#include "forms/portable/streams.h"

#include <vector>

namespace forms {

namespace {

bool NeedsQuotes(std::string_view s) {
    if (s.empty()) return true;
    for (unsigned char c : s)
        if (c <= ' ' || c == ',' || c == '"') return true;
    return false;
}

}  // namespace

void TStrings::Clear() {
    BeginUpdate();
    for (int i = GetCount() - 1; i >= 0; --i) Delete(i);
    EndUpdate();
}

void TStrings::Put(int index, const std::string& s) {
    TObject* object = GetObjectAt(index);
    // Insert before deleting: a list that refuses the insert loses nothing.
    BeginUpdate();
    try {
        InsertObject(index, s, object);
        Delete(index + 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TObject* TStrings::GetObjectAt(int) const { return nullptr; }

void TStrings::PutObjectAt(int, TObject*) {}

int TStrings::Add(const std::string& s) {
    const int index = GetCount();
    Insert(index, s);
    return index;
}

int TStrings::IndexOf(std::string_view s) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const { return CompareTextAscii(a, b); }

int TStrings::AddObject(const std::string& s, TObject* object) {
    const int index = Add(s);
    PutObjectAt(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    PutObjectAt(index, object);
}

int TStrings::IndexOfObject(const TObject* object) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (GetObjectAt(i) == object) return i;
    return -1;
}

void TStrings::AddStrings(const TStrings& source) {
    BeginUpdate();
    const int count = source.GetCount();
    for (int i = 0; i < count; ++i) AddObject(source.Get(i), source.GetObjectAt(i));
    EndUpdate();
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    BeginUpdate();
    Clear();
    AddStrings(source);
    EndUpdate();
}

void TStrings::Exchange(int index1, int index2) {
    CheckIndex(index1, GetCount());
    CheckIndex(index2, GetCount());
    if (index1 == index2) return;
    BeginUpdate();
    const std::string s1 = Get(index1);
    TObject* o1 = GetObjectAt(index1);
    Put(index1, Get(index2));
    PutObjectAt(index1, GetObjectAt(index2));
    Put(index2, s1);
    PutObjectAt(index2, o1);
    EndUpdate();
}

void TStrings::Move(int currentIndex, int newIndex) {
    if (currentIndex == newIndex) return;
    CheckIndex(currentIndex, GetCount());
    CheckIndex(newIndex, GetCount());
    BeginUpdate();
    const std::string s = Get(currentIndex);
    TObject* object = GetObjectAt(currentIndex);
    try {
        if (newIndex > currentIndex) {
            InsertObject(newIndex + 1, s, object);
            Delete(currentIndex);
        } else {
            InsertObject(newIndex, s, object);
            Delete(currentIndex + 1);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TStrings::Equals(const TStrings& other) const {
    const int count = GetCount();
    if (count != other.GetCount()) return false;
    for (int i = 0; i < count; ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

int TStrings::IndexOfName(std::string_view name) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const std::string s = Get(i);
        const size_t eq = s.find('=');
        if (eq != std::string::npos && CompareStrings(std::string_view(s).substr(0, eq), name) == 0) return i;
    }
    return -1;
}

std::string TStrings::Names(int index) const {
    const std::string s = Get(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
    const std::string s = Get(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

std::string TStrings::Values(std::string_view name) const {
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValue(std::string_view name, std::string_view value) {
    const int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    std::string entry(name);
    entry += '=';
    entry += value;
    if (index >= 0)
        Put(index, entry);
    else
        Add(entry);
}

std::string TStrings::Text() const {
    std::string text;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(std::string_view text) {
    BeginUpdate();
    Clear();
    size_t p = 0;
    while (p < text.size()) {
        const size_t end = text.find_first_of("\r\n", p);
        if (end == std::string_view::npos) {
            Add(std::string(text.substr(p)));
            break;
        }
        Add(std::string(text.substr(p, end - p)));
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        p = end + (crlf ? 2 : 1);
    }
    EndUpdate();
}

std::string TStrings::CommaText() const {
    std::string text;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ',';
        const std::string s = Get(i);
        if (!NeedsQuotes(s)) {
            text += s;
            continue;
        }
        text += '"';
        for (char c : s) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

void TStrings::SetCommaText(std::string_view text) {
    auto isBlank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
    BeginUpdate();
    Clear();
    size_t p = 0;
    while (p < text.size() && isBlank(text[p])) ++p;
    while (p < text.size()) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < text.size()) {
                if (text[p] == '"') {
                    if (p + 1 < text.size() && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            while (p < text.size() && static_cast<unsigned char>(text[p]) > ' ' && text[p] != ',') item += text[p++];
        }
        Add(item);
        while (p < text.size() && isBlank(text[p])) ++p;
        if (p < text.size() && text[p] == ',') {
            ++p;
            while (p < text.size() && isBlank(text[p])) ++p;
            // A trailing comma ends the list; "a," is one entry.
        }
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::CheckIndex(int index, int limit) {
    if (index < 0 || index >= limit) throw EListError(Format("List index out of bounds (%d)", index));
}

void TStrings::LoadFromStream(TStream& stream) {
    const std::int64_t size = stream.Size() - stream.Position();
    std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (!text.empty()) stream.ReadBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    SetText(text);
}

void TStrings::SaveToStream(TStream& stream) const {
    const std::string text = Text();
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

}  // namespace forms
