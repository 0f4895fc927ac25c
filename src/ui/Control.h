#pragma once
// The base of the thin wrappers over the standard Win32 controls: one small
// class per kind, each a real child window of the platform's own class, so that
// screen readers and automation see every control as what it is.
#include "ui/Dpi.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace dv::ui {

using TNotifyEvent = std::function<void()>;

enum class TCursor { Default, Arrow, Hand };

struct TBounds {
    int Left, Top, Width, Height;
};

class TPopupMenu;

class TControl {
  public:
    TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    virtual ~TControl();

    HWND Handle() const { return hwnd_; }
    TControl* Parent() const { return parent_; }
    static TControl* FromHandle(HWND hwnd);
    // The control that owns hwnd, or the nearest one enclosing it.
    static TControl* Enclosing(HWND hwnd);

    // Texts are ANSI where they come from the program or a stored format, and
    // UTF-16 where they carry names found on disk.
    std::string Caption() const;
    std::wstring WideCaption() const;
    void SetCaption(const std::string& text);
    void SetCaption(const std::wstring& text);
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    void SetFocus();
    // Paints the control at once, before the caller goes on.
    void Repaint();
    // Position and size in the parent's client area.
    TBounds Bounds() const;
    // The font, in points: the control shows it at the size for its DPI.
    void SetFont(const TFont& font);
    const TFont& Font() const { return font_; }

    // The position and size the control was designed with, at 96 DPI.
    TBounds DesignBounds() const { return design_; }
    // The DPI the control is laid out for.
    int Dpi() const { return dpi_; }
    // A design figure at the control's DPI.
    int Scaled(int value) const { return Scale(value, dpi_); }
    TBounds Scaled(TBounds bounds) const;
    // Lays the control out for a DPI: its design bounds and font scaled. Kinds
    // with geometry of their own (columns, panels, pictures) add theirs.
    virtual void ScaleTo(int dpi);

    std::wstring Hint;
    int HelpContext = 0;
    int Tag = 0;
    TCursor Cursor = TCursor::Default;
    TPopupMenu* PopupMenu = nullptr;

    // The hint shown for this control: its own or the nearest enclosing one.
    std::wstring EffectiveHint() const;
    // The help topic: its own context or the nearest enclosing non-zero one.
    int EffectiveHelpContext() const;

    // Notifications that the parent window passes on to the control.
    virtual void Command(WORD /*code*/) {}
    virtual LRESULT Notify(NMHDR& /*header*/) { return 0; }
    // Text colour for labels; CLR_INVALID keeps the system's.
    virtual COLORREF TextColor() const { return CLR_INVALID; }

  protected:
    // A child window of a class; createParam reaches its WM_NCCREATE.
    void CreateHandle(TControl* parent, const wchar_t* className, const std::string& text,
                      DWORD style, DWORD exStyle, TBounds bounds, void* createParam = nullptr);
    void Attach(HWND hwnd, TControl* parent);
    // Lays out every control inside this window for a DPI.
    void ScaleChildren(int dpi);
    // For top-level windows: the display's DPI changed to the one in wParam;
    // lays the window out for it and takes the window rectangle in lParam.
    void DpiChanged(WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    TControl* parent_ = nullptr;
    TBounds design_{};
    TFont font_ = kDefaultFont;
    int dpi_ = kDesignDpi;

  private:
    HWND attached_ = nullptr; // the window this object answers for
};

// Every item text of a list control, in list order.
template <class List> std::vector<std::string> AllItems(const List& list) {
    std::vector<std::string> items;
    for (int i = 0, n = list.Count(); i < n; ++i)
        items.push_back(list.Item(i));
    return items;
}

} // namespace dv::ui
