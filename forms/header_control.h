// A header over SysHeader32: its sections' captions, widths and alignment.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "forms/win_control.h"

namespace forms {

struct THeaderSection {
    std::string Text;
    int Width = 80;
    TAlignment Alignment = taLeftJustify;
};

class THeaderControl : public TWinControl {
public:
    explicit THeaderControl(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    const std::vector<THeaderSection>& Sections() const { return sections_; }
    void SetSections(std::vector<THeaderSection> sections);

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    void UpdateSections();

    std::vector<THeaderSection> sections_;
};

// The header item format flags of an alignment.
int HeaderAlignmentFormat(TAlignment alignment);

}  // namespace forms
