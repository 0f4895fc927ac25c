#include "ui/StatusBar.h"

#include "app/Strings.h"

#include <commctrl.h>

namespace dv::ui {

void TStatusBar::Create(TControl* parent, TBounds bounds, const std::vector<int>& panelWidths,
                        const std::vector<bool>& rightAligned) {
    CreateHandle(parent, STATUSCLASSNAMEW, "", CCS_NORESIZE | CCS_NOPARENTALIGN | WS_VISIBLE, 0,
                 bounds);
    panelWidths_ = panelWidths;
    SetPanels();
    texts_.assign(panelWidths.size(), {});
    rightAligned_ = rightAligned;
}

void TStatusBar::SetPanels() {
    std::vector<int> edges;
    int right = 0;
    for (int width : panelWidths_)
        edges.push_back(right += Scaled(width));
    edges.back() = -1; // the last panel takes the rest of the bar
    SendMessageA(hwnd_, SB_SETPARTS, WPARAM(edges.size()), LPARAM(edges.data()));
}

void TStatusBar::ScaleTo(int dpi) {
    TControl::ScaleTo(dpi);
    SetPanels();
}

std::string TStatusBar::PanelText(int panel) const { return WideToAnsi(WidePanelText(panel)); }

std::wstring TStatusBar::WidePanelText(int panel) const { return texts_.at(size_t(panel)); }

void TStatusBar::SetPanelText(int panel, const std::string& text) {
    SetPanelText(panel, AnsiToWide(text));
}

void TStatusBar::SetPanelText(int panel, const std::wstring& text) {
    texts_.at(size_t(panel)) = text;
    std::wstring shown = rightAligned_.at(size_t(panel)) ? L"\t\t" + text : text;
    SendMessageW(hwnd_, SB_SETTEXTW, WPARAM(panel), LPARAM(shown.c_str()));
}

} // namespace dv::ui
