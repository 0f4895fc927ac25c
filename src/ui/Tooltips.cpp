#include "ui/Tooltips.h"

#include "ui/Control.h"

#include <string>

namespace dv::ui {

namespace {

HWND TooltipFor(HWND topLevel) {
    HWND tip = static_cast<HWND>(GetPropA(topLevel, "DvTooltip"));
    if (!tip) {
        tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, topLevel,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
        SetPropA(topLevel, "DvTooltip", tip);
    }
    return tip;
}

} // namespace

void AddTool(HWND control) {
    HWND topLevel = GetAncestor(control, GA_ROOT);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = topLevel;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(TooltipFor(topLevel), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT TooltipText(NMTTDISPINFOW& info) {
    static std::wstring text;
    TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(info.hdr.idFrom));
    text = control ? control->EffectiveHint() : std::wstring();
    info.lpszText = text.data();
    info.hinst = nullptr;
    return 0;
}

} // namespace dv::ui
