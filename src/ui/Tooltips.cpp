#include "ui/Tooltips.h"

#include "ui/Control.h"

#include <string>

namespace dv::ui {

namespace {

const char kTooltipProperty[] = "DvTooltip";

HWND TooltipFor(HWND topLevel) {
    HWND tip = static_cast<HWND>(GetPropA(topLevel, kTooltipProperty));
    if (!tip) {
        tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, topLevel,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
        SetPropA(topLevel, kTooltipProperty, tip);
    }
    return tip;
}

bool IsRelayedMouseMessage(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return true;
    default:
        return false;
    }
}

// Each mouse message taken from the queue for a tool, whichever loop takes
// it, goes to the tool's tooltip before it is dispatched.
LRESULT CALLBACK RelayMouseMessages(int code, WPARAM removal, LPARAM message) {
    const MSG& msg = *reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && IsRelayedMouseMessage(msg.message) &&
        TControl::FromHandle(msg.hwnd)) {
        HWND tip = static_cast<HWND>(GetPropA(GetAncestor(msg.hwnd, GA_ROOT), kTooltipProperty));
        if (tip)
            SendMessageW(tip, TTM_RELAYEVENT, 0, message);
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

void RelayToolMessages() {
    static const HHOOK hook =
        SetWindowsHookExW(WH_GETMESSAGE, RelayMouseMessages, nullptr, GetCurrentThreadId());
    (void)hook;
}

} // namespace

void AddTool(HWND control) {
    RelayToolMessages();
    HWND topLevel = GetAncestor(control, GA_ROOT);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
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
