// The root of the class tree: a class name, kind tests and the class's property registry.
#pragma once
#include <string>

namespace forms {

class TClassInfo;

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The class's registry entry (name, parent, published properties). Every class with
    // properties of its own overrides it with its StaticClass().
    virtual const TClassInfo& ClassInfo() const;
    static const TClassInfo& StaticClass();

    // The name of the most derived class that registered itself ("TPanel").
    virtual std::string ClassName() const;

    // Kind tests by type: descendants included.
    template <class T> bool Is() const { return dynamic_cast<const T*>(this) != nullptr; }
    template <class T> T* As() { return dynamic_cast<T*>(this); }
    template <class T> const T* As() const { return dynamic_cast<const T*>(this); }

    // True when the class or one of its registered ancestors has this name (any letter case).
    bool InheritsFromName(const std::string& className) const;
};

}  // namespace forms
