#include "ui/Control.h"

#include "app/Application.h"
#include "app/Strings.h"
#include "ui/PopupMenu.h"

#include <commctrl.h>
#include <windowsx.h>

#include <unordered_map>

namespace dv::ui {

std::function<void(TControl*)> OnMouseOverControl;

namespace {

// The control object of each window of ours. Looked up for every notification
// and mouse move, so it stays in the process (a window property is a round
// trip to the window server under Wine).
std::unordered_map<HWND, TControl*>& ControlsByHandle() {
    static std::unordered_map<HWND, TControl*> controls;
    return controls;
}

int NextControlId() {
    static int id = 1000;
    return ++id;
}

// One tooltip window per top-level window; every control is a tool whose text
// is asked for when the tip shows, so hints changed later show their new text.
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

HCURSOR CursorHandle(TCursor cursor) {
    return LoadCursor(nullptr, cursor == TCursor::Hand ? IDC_HAND : IDC_ARROW);
}

void ShowContextMenu(TControl& control, LPARAM position) {
    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == LPARAM(-1)) { // from the keyboard: at the control's corner
        point = {0, 0};
        ClientToScreen(control.Handle(), &point);
    }
    control.PopupMenu->Popup(control.Handle(), point.x, point.y);
}

BOOL CALLBACK ScaleChild(HWND child, LPARAM dpi) {
    if (TControl* control = TControl::FromHandle(child))
        control->ScaleTo(int(dpi));
    return TRUE;
}

} // namespace

TControl::~TControl() {
    if (attached_)
        ControlsByHandle().erase(attached_);
    if (hwnd_ && IsWindow(hwnd_) && !parent_)
        DestroyWindow(hwnd_);
}

TControl* TControl::FromHandle(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    const auto found = ControlsByHandle().find(hwnd);
    return found == ControlsByHandle().end() ? nullptr : found->second;
}

TControl* TControl::Enclosing(HWND hwnd) {
    for (; hwnd; hwnd = GetParent(hwnd))
        if (TControl* control = FromHandle(hwnd))
            return control;
    return nullptr;
}

void TControl::Attach(HWND hwnd, TControl* parent) {
    hwnd_ = hwnd;
    parent_ = parent;
    attached_ = hwnd;
    ControlsByHandle()[hwnd] = this;
}

void TControl::CreateHandle(TControl* parent, const wchar_t* className, const std::string& text,
                            DWORD style, DWORD exStyle, TBounds bounds) {
    design_ = bounds;
    dpi_ = parent->dpi_;
    const TBounds b = Scaled(bounds);
    HWND hwnd = CreateWindowExW(exStyle, className, AnsiToWide(text).c_str(), style | WS_CHILD,
                                b.Left, b.Top, b.Width, b.Height, parent->Handle(),
                                reinterpret_cast<HMENU>(INT_PTR(NextControlId())),
                                GetModuleHandleA(nullptr), nullptr);
    Attach(hwnd, parent);
    SetFont(font_);
    AddTool(hwnd);
}

std::string TControl::Caption() const {
    std::string text(size_t(GetWindowTextLengthA(hwnd_)) + 1, '\0');
    text.resize(size_t(GetWindowTextA(hwnd_, text.data(), int(text.size()))));
    return text;
}

std::wstring TControl::WideCaption() const {
    std::wstring text(size_t(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(hwnd_, text.data(), int(text.size()))));
    return text;
}

void TControl::SetCaption(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

void TControl::SetCaption(const std::wstring& text) { SetWindowTextW(hwnd_, text.c_str()); }

bool TControl::Visible() const { return GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE; }

void TControl::SetVisible(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }

bool TControl::Enabled() const { return IsWindowEnabled(hwnd_); }

void TControl::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }

void TControl::SetFocus() { ::SetFocus(hwnd_); }

void TControl::Repaint() {
    // Every change that asks for a repaint (text, colour, position, items) has
    // already invalidated what it changed: painting just that, at once, costs a
    // third of invalidating and painting the whole control again.
    UpdateWindow(hwnd_);
}

TBounds TControl::Bounds() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void TControl::SetFont(const TFont& font) {
    font_ = font;
    SendMessageA(hwnd_, WM_SETFONT, WPARAM(FontFor(font_, dpi_)), TRUE);
}

// ---- display scale ----

TBounds TControl::Scaled(TBounds b) const {
    return {Scaled(b.Left), Scaled(b.Top), Scaled(b.Width), Scaled(b.Height)};
}

void TControl::ScaleTo(int dpi) {
    dpi_ = dpi;
    if (parent_) {
        const TBounds b = Scaled(design_);
        SetWindowPos(hwnd_, nullptr, b.Left, b.Top, b.Width, b.Height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetFont(font_);
}

void TControl::ScaleChildren(int dpi) {
    // Every descendant, nested ones included; windows that are no control of
    // ours (a list's column header) follow their owner.
    EnumChildWindows(hwnd_, ScaleChild, LPARAM(dpi));
}

void TControl::DpiChanged(WPARAM wParam, LPARAM lParam) {
    ScaleTo(LOWORD(wParam));
    const RECT& r = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring TControl::EffectiveHint() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->Hint.empty())
            return c->Hint;
    return {};
}

int TControl::EffectiveHelpContext() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (c->HelpContext != 0)
            return c->HelpContext;
    return 0;
}

// ---- message routing ----

bool RouteChildMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
            Guarded([&] { control->Command(HIWORD(wParam)); });
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFYFORMAT:
        // The controls are Unicode windows: their notifications carry UTF-16
        // texts, so names found on disk reach them whole.
        result = NFR_UNICODE;
        return true;
    case WM_NOTIFY: {
        NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.code == TTN_GETDISPINFOW) {
            result = TooltipText(reinterpret_cast<NMTTDISPINFOW&>(header));
            return true;
        }
        if (TControl* control = TControl::FromHandle(header.hwndFrom)) {
            result = 0;
            Guarded([&] { result = control->Notify(header); });
            return true;
        }
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam));
        if (control && control->TextColor() != CLR_INVALID)
            SetTextColor(dc, control->TextColor());
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT)
            return false;
        TControl* control = TControl::Enclosing(reinterpret_cast<HWND>(wParam));
        if (OnMouseOverControl)
            Guarded([&] { OnMouseOverControl(control); });
        if (!control || control->Cursor == TCursor::Default)
            return false;
        SetCursor(CursorHandle(control->Cursor));
        result = TRUE;
        return true;
    }
    case WM_CONTEXTMENU: {
        TControl* control = TControl::Enclosing(reinterpret_cast<HWND>(wParam));
        if (!control || !control->PopupMenu)
            return false;
        ShowContextMenu(*control, lParam);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

} // namespace dv::ui
