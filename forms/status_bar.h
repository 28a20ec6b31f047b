// A status bar over msctls_statusbar32: panels with their bevel, alignment and text, or one
// simple panel, a size grip, and owner-drawn panels through OnDrawPanel.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/win_control.h"

namespace forms {

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TStatusPanelStyle { psText, psOwnerDraw };

struct TStatusPanel {
    std::string Text;
    int Width = 50;
    TStatusPanelBevel Bevel = pbLowered;
    TAlignment Alignment = taLeftJustify;
    TStatusPanelStyle Style = psText;
    // Its text reads right to left, and its left and right alignment swap.
    bool RightToLeft = false;
};

// Where the panel's text sits: a right-to-left panel swaps left and right.
TAlignment ShownAlignment(const TStatusPanel& panel);

class TStatusBar;
using TDrawPanelEvent = std::function<void(TStatusBar* Sender, int panel, HDC dc, const RECT& rect)>;

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    const std::vector<TStatusPanel>& Panels() const { return panels_; }
    void SetPanels(std::vector<TStatusPanel> panels);
    // One panel across the bar showing SimpleText instead of the panels.
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool v);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& v);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool v);

    // Called for each owner-drawn panel with the DC and its rectangle (client coordinates); a
    // skinned bar calls it for every panel, after the skin has drawn.
    TDrawPanelEvent OnDrawPanel;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    void UpdatePanels();

    std::vector<TStatusPanel> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
};

}  // namespace forms
