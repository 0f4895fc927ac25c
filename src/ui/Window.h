#pragma once
// A window of a class the program registers itself: the main window, the "New
// type" dialog and the pages that hold controls. The object is bound to its
// window once, at WM_NCCREATE, and from then on every message reaches it:
// first the child controls' messages (ChildMessages.h), then HandleMessage.
#include "ui/Control.h"

namespace dv::ui {

// What the program's window classes differ in.
struct TWindowClass {
    const char* Name;
    HICON Icon = nullptr;
};

class TWindow : public TControl {
  public:
    ~TWindow() override;

  protected:
    // A top-level window at a place on the screen; the class is registered on
    // first use.
    void CreateTopLevel(const TWindowClass& windowClass, const char* caption, DWORD style,
                        DWORD exStyle, RECT place);
    // A child window inside parent, laid out and described like every control.
    void CreateChild(const TWindowClass& windowClass, TControl* parent, DWORD style, DWORD exStyle,
                     TBounds bounds);
    // Destroys the window without telling this object, which is going away.
    void DestroyUnbound();
    // The window's own messages. By default a change of DPI lays the window
    // out again and the system handles the rest.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace dv::ui
