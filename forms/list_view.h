// A list view over SysListView32 in report view: columns with a header, and rows of captions.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "forms/header_control.h"
#include "forms/win_control.h"

namespace forms {

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    const std::vector<THeaderSection>& Columns() const { return columns_; }
    void SetColumns(std::vector<THeaderSection> columns);
    // Each row's captions, column by column.
    const std::vector<std::vector<std::string>>& Rows() const { return rows_; }
    void SetRows(std::vector<std::vector<std::string>> rows);

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    void UpdateColumns();
    void UpdateRows();

    std::vector<THeaderSection> columns_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace forms
