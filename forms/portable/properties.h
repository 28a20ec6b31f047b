// Published properties by name: a small registry per class, with inheritance, that tools
// (the skin engine above all) use to read and write properties without knowing the class.
//
// A class registers itself in its StaticClass():
//   const TClassInfo& TPanel::StaticClass() {
//       static const TClassInfo info = TClassInfo::Define<TPanel>("TPanel", &TCustomControl::StaticClass())
//           .Str("Caption", &TPanel::Caption, &TPanel::SetCaption)
//           .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &TPanel::Alignment, &TPanel::SetAlignment)
//           .Done();
//       return info;
//   }
// and overrides `const TClassInfo& ClassInfo() const override { return StaticClass(); }`.
#pragma once
#include <cstdint>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "forms/portable/object.h"

namespace forms {

enum class TPropKind { Integer, Enumeration, Boolean, String, Object };

struct TPropInfo {
    std::string Name;
    TPropKind Kind = TPropKind::Integer;
    std::vector<std::string> Identifiers;  // enumeration and boolean ("False", "True")
    std::function<std::int64_t(const TObject&)> GetOrd;
    std::function<void(TObject&, std::int64_t)> SetOrd;  // empty: read-only
    std::function<std::string(const TObject&)> GetStr;
    std::function<void(TObject&, const std::string&)> SetStr;
    std::function<TObject*(const TObject&)> GetObj;
    std::function<void(TObject&, TObject*)> SetObj;
};

class TClassInfo {
public:
    template <class C> class Builder;

    TClassInfo(std::string name, const TClassInfo* parent) : name_(std::move(name)), parent_(parent) {}

    template <class C> static Builder<C> Define(std::string name, const TClassInfo* parent) {
        return Builder<C>(TClassInfo(std::move(name), parent));
    }

    const std::string& Name() const { return name_; }
    const TClassInfo* Parent() const { return parent_; }
    // Own properties only, in registration order.
    const std::vector<TPropInfo>& OwnProperties() const { return props_; }
    // Looks in this class, then its ancestors; names compare in any letter case.
    const TPropInfo* Find(std::string_view name) const;
    // Every property, ancestors' first; a redefined name appears once (the nearest).
    std::vector<const TPropInfo*> AllProperties() const;

private:
    std::string name_;
    const TClassInfo* parent_;
    std::vector<TPropInfo> props_;

    template <class C> friend class Builder;
};

// Getters and setters may be members of C or of any base of C.
template <class C> class TClassInfo::Builder {
public:
    explicit Builder(TClassInfo info) : info_(std::move(info)) {}

    template <class G, class S = std::nullptr_t>
    Builder& Int(std::string name, G get, S set = nullptr) {
        return Ordinal(std::move(name), TPropKind::Integer, {}, get, set);
    }

    template <class G, class S>
    Builder& Enum(std::string name, std::initializer_list<const char*> identifiers, G get, S set) {
        std::vector<std::string> ids;
        for (const char* id : identifiers) ids.emplace_back(id);
        return Ordinal(std::move(name), TPropKind::Enumeration, std::move(ids), get, set);
    }

    template <class G, class S>
    Builder& Bool(std::string name, G get, S set) {
        return Ordinal(std::move(name), TPropKind::Boolean, {"False", "True"}, get, set);
    }

    template <class G, class S>
    Builder& Str(std::string name, G get, S set) {
        TPropInfo p;
        p.Name = std::move(name);
        p.Kind = TPropKind::String;
        p.GetStr = [get](const TObject& o) { return std::string(std::invoke(get, Cast(o))); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetStr = [set](TObject& o, const std::string& v) { std::invoke(set, Cast(o), v); };
        }
        return Add(std::move(p));
    }

    template <class G, class S>
    Builder& Object(std::string name, G get, S set) {
        TPropInfo p;
        p.Name = std::move(name);
        p.Kind = TPropKind::Object;
        p.GetObj = [get](const TObject& o) -> TObject* { return std::invoke(get, Cast(o)); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            using T = std::remove_pointer_t<std::invoke_result_t<G, const C&>>;
            p.SetObj = [set](TObject& o, TObject* v) { std::invoke(set, Cast(o), dynamic_cast<T*>(v)); };
        }
        return Add(std::move(p));
    }

    Builder& Add(TPropInfo p) {
        info_.props_.push_back(std::move(p));
        return *this;
    }
    TClassInfo Done() { return std::move(info_); }

private:
    static C& Cast(TObject& o) { return dynamic_cast<C&>(o); }
    static const C& Cast(const TObject& o) { return dynamic_cast<const C&>(o); }

    template <class G, class S>
    Builder& Ordinal(std::string name, TPropKind kind, std::vector<std::string> ids, G get, S set) {
        TPropInfo p;
        p.Name = std::move(name);
        p.Kind = kind;
        p.Identifiers = std::move(ids);
        p.GetOrd = [get](const TObject& o) { return static_cast<std::int64_t>(std::invoke(get, Cast(o))); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.SetOrd = [set](TObject& o, std::int64_t v) { CallSet(Cast(o), set, v); };
        }
        return Add(std::move(p));
    }

    // The setter's parameter type decides the conversion (int, an enum, bool...).
    template <class B, class Arg> static void CallSet(C& c, void (B::*set)(Arg), std::int64_t v) {
        using Plain = std::remove_cvref_t<Arg>;
        if constexpr (std::is_same_v<Plain, bool>) (c.*set)(v != 0);
        else (c.*set)(static_cast<Plain>(v));
    }

    TClassInfo info_;
};

// Lookups on an object; a null object or a missing property gives nullptr.
const TPropInfo* FindPropInfo(const TObject* object, std::string_view name);
std::vector<const TPropInfo*> GetPropList(const TObject* object);

// Readers: a null object, a missing property or one of another kind gives 0, "" or nullptr.
// GetOrdProp reads integer, enumeration and boolean properties (the ordinal).
std::int64_t GetOrdProp(const TObject* object, std::string_view name);
// The identifier as registered ("taCenter", "True"); callers lower-case it to compare.
std::string GetEnumProp(const TObject* object, std::string_view name);
std::string GetStrProp(const TObject* object, std::string_view name);
TObject* GetObjectProp(const TObject* object, std::string_view name);

// Writers: false when the object, the property or a setter is missing or the value does
// not fit the property.
bool SetOrdProp(TObject* object, std::string_view name, std::int64_t value);
// The identifier in any letter case.
bool SetEnumProp(TObject* object, std::string_view name, std::string_view identifier);
bool SetStrProp(TObject* object, std::string_view name, const std::string& value);
bool SetObjectProp(TObject* object, std::string_view name, TObject* value);
// From text: an enumeration or boolean from its identifier, an integer from decimal text;
// other kinds are left alone (false).
bool SetPropByName(TObject* object, std::string_view name, std::string_view value);

}  // namespace forms
