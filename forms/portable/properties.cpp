#include "forms/portable/properties.h"

#include "forms/portable/text_case.h"

#include <algorithm>
#include <charconv>

namespace forms {

namespace {


bool IsOrdinal(TPropKind k) {
    return k == TPropKind::Integer || k == TPropKind::Enumeration || k == TPropKind::Boolean;
}

}  // namespace

const TPropInfo* TClassInfo::Find(std::string_view name) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->parent_) {
        for (const TPropInfo& p : c->props_) {
            if (SameTextAscii(p.Name, name)) return &p;
        }
    }
    return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProperties() const {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c != nullptr; c = c->parent_) chain.push_back(c);
    std::vector<const TPropInfo*> out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (const TPropInfo& p : (*it)->props_) {
            auto same = std::find_if(out.begin(), out.end(), [&](const TPropInfo* q) { return SameTextAscii(q->Name, p.Name); });
            if (same != out.end()) *same = &p;
            else out.push_back(&p);
        }
    }
    return out;
}

const TPropInfo* FindPropInfo(const TObject* object, std::string_view name) {
    return object == nullptr ? nullptr : object->ClassInfo().Find(name);
}

std::vector<const TPropInfo*> GetPropList(const TObject* object) {
    return object == nullptr ? std::vector<const TPropInfo*>{} : object->ClassInfo().AllProperties();
}

std::int64_t GetOrdProp(const TObject* object, std::string_view name) {
    const TPropInfo* p = FindPropInfo(object, name);
    if (p == nullptr || !IsOrdinal(p->Kind) || !p->GetOrd) return 0;
    return p->GetOrd(*object);
}

std::string GetEnumProp(const TObject* object, std::string_view name) {
    const TPropInfo* p = FindPropInfo(object, name);
    if (p == nullptr || (p->Kind != TPropKind::Enumeration && p->Kind != TPropKind::Boolean) || !p->GetOrd) return {};
    std::int64_t v = p->GetOrd(*object);
    if (v < 0 || v >= static_cast<std::int64_t>(p->Identifiers.size())) return {};
    return p->Identifiers[static_cast<size_t>(v)];
}

std::string GetStrProp(const TObject* object, std::string_view name) {
    const TPropInfo* p = FindPropInfo(object, name);
    if (p == nullptr || p->Kind != TPropKind::String || !p->GetStr) return {};
    return p->GetStr(*object);
}

TObject* GetObjectProp(const TObject* object, std::string_view name) {
    const TPropInfo* p = FindPropInfo(object, name);
    if (p == nullptr || p->Kind != TPropKind::Object || !p->GetObj) return nullptr;
    return p->GetObj(*object);
}

bool SetOrdProp(TObject* object, std::string_view name, std::int64_t value) {
    const TPropInfo* p = FindPropInfo(object, name);
    if (p == nullptr || !IsOrdinal(p->Kind) || !p->SetOrd) return false;
    if (p->Kind != TPropKind::Integer && (value < 0 || value >= static_cast<std::int64_t>(p->Identifiers.size()))) {
        return false;
    }
    p->SetOrd(*object, value);
    return true;
}

bool SetEnumProp(TObject* object, std::string_view name, std::string_view identifier) {
    const TPropInfo* p = FindPropInfo(object, name);
    if (p == nullptr || (p->Kind != TPropKind::Enumeration && p->Kind != TPropKind::Boolean) || !p->SetOrd) {
        return false;
    }
    for (size_t i = 0; i < p->Identifiers.size(); ++i) {
        if (SameTextAscii(p->Identifiers[i], identifier)) {
            p->SetOrd(*object, static_cast<std::int64_t>(i));
            return true;
        }
    }
    return false;
}

bool SetStrProp(TObject* object, std::string_view name, const std::string& value) {
    const TPropInfo* p = FindPropInfo(object, name);
    if (p == nullptr || p->Kind != TPropKind::String || !p->SetStr) return false;
    p->SetStr(*object, value);
    return true;
}

bool SetObjectProp(TObject* object, std::string_view name, TObject* value) {
    const TPropInfo* p = FindPropInfo(object, name);
    if (p == nullptr || p->Kind != TPropKind::Object || !p->SetObj) return false;
    p->SetObj(*object, value);
    return true;
}

bool SetPropByName(TObject* object, std::string_view name, std::string_view value) {
    const TPropInfo* p = FindPropInfo(object, name);
    if (p == nullptr) return false;
    if (p->Kind == TPropKind::Enumeration || p->Kind == TPropKind::Boolean) return SetEnumProp(object, name, value);
    if (p->Kind != TPropKind::Integer || !p->SetOrd) return false;
    std::int64_t v = 0;
    const char* first = value.data();
    const char* last = first + value.size();
    if (first != last && *first == '+') ++first;
    auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || end != last || first == last) return false;
    p->SetOrd(*object, v);
    return true;
}

}  // namespace forms
