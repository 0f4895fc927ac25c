#pragma once
// A status bar with panels.
#include "ui/Control.h"

#include <vector>

namespace dv::ui {

class TStatusBar : public TControl {
  public:
    // Panels are given by width; the bar spans the parent's bottom edge.
    void Create(TControl* parent, TBounds bounds, const std::vector<int>& panelWidths,
                const std::vector<bool>& rightAligned);
    std::string PanelText(int panel) const;
    std::wstring WidePanelText(int panel) const;
    void SetPanelText(int panel, const std::string& text);
    void SetPanelText(int panel, const std::wstring& text);
    // Panel widths follow the DPI too.
    void ScaleTo(int dpi) override;

  private:
    void SetPanels();
    std::vector<int> panelWidths_;
    std::vector<std::wstring> texts_;
    std::vector<bool> rightAligned_;
};

} // namespace dv::ui
