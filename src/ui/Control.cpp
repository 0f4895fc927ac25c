#include "ui/Control.h"

#include "app/Strings.h"
#include "ui/HandleTable.h"
#include "ui/HeldInput.h"
#include "ui/Tooltips.h"

namespace dv::ui {

namespace {

int NextControlId() {
    static int id = 1000;
    return ++id;
}

BOOL CALLBACK ScaleChild(HWND child, LPARAM dpi) {
    if (TControl* control = TControl::FromHandle(child))
        control->ScaleTo(int(dpi));
    return TRUE;
}

} // namespace

TControl::~TControl() {
    if (attached_)
        ForgetControl(attached_);
    if (hwnd_ && IsWindow(hwnd_) && !parent_)
        DestroyWindow(hwnd_);
}

void TControl::Attach(HWND hwnd, TControl* parent) {
    hwnd_ = hwnd;
    parent_ = parent;
    attached_ = hwnd;
    RememberControl(hwnd, this);
}

void TControl::CreateHandle(TControl* parent, const wchar_t* className, const std::string& text,
                            DWORD style, DWORD exStyle, TBounds bounds, void* createParam) {
    design_ = bounds;
    dpi_ = parent->dpi_;
    parent_ = parent;
    const TBounds b = Scaled(bounds);
    HWND hwnd = CreateWindowExW(exStyle, className, AnsiToWide(text).c_str(), style | WS_CHILD,
                                b.Left, b.Top, b.Width, b.Height, parent->Handle(),
                                reinterpret_cast<HMENU>(INT_PTR(NextControlId())),
                                GetModuleHandleA(nullptr), createParam);
    Attach(hwnd, parent);
    THeldInput::Guard(hwnd);
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

} // namespace dv::ui
