// TSkinSpy: carried by a form made at run time whose controls are skinned through its parent
// form's skin; it holds that link for the run-time form's life (which owns and frees it).
#pragma once
#include "forms/portable/component.h"

namespace skin {

class TSkinForm;

class TSkinSpy : public forms::TComponent {
public:
    explicit TSkinSpy(forms::TComponent* owner) : forms::TComponent(owner) {}
    TSkinForm* FormSkin = nullptr;  // not owned
};

}  // namespace skin
