#pragma once
// Thin wrappers over the standard Win32 controls: one small class per kind,
// each a real child window of the platform's own class, so that screen readers
// and automation see every control as what it is.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
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

    std::string Caption() const;
    void SetCaption(const std::string& text);
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    void SetFocus();
    // Paints the control at once, before the caller goes on.
    void Repaint();
    // Position and size in the parent's client area.
    TBounds Bounds() const;
    void SetFont(HFONT font);

    std::string Hint;
    int HelpContext = 0;
    int Tag = 0;
    TCursor Cursor = TCursor::Default;
    TPopupMenu* PopupMenu = nullptr;

    // The hint shown for this control: its own or the nearest enclosing one.
    std::string EffectiveHint() const;
    // The help topic: its own context or the nearest enclosing non-zero one.
    int EffectiveHelpContext() const;

    // Notifications that the parent window passes on to the control.
    virtual void Command(WORD /*code*/) {}
    virtual LRESULT Notify(NMHDR& /*header*/) { return 0; }
    // Text colour for labels; CLR_INVALID keeps the system's.
    virtual COLORREF TextColor() const { return CLR_INVALID; }

  protected:
    void CreateHandle(TControl* parent, const char* className, const std::string& text, DWORD style,
                      DWORD exStyle, TBounds bounds);
    void Attach(HWND hwnd, TControl* parent);
    HWND hwnd_ = nullptr;
    TControl* parent_ = nullptr;
};

// Routes the notifications a container window receives from its children to
// the control objects; true when the message was handled.
bool RouteChildMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Receives every change of the control under the mouse, for the status bar's
// automatic hint.
extern std::function<void(TControl*)> OnMouseOverControl;

// A plain window that holds other controls (tab pages).
class TContainer : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, DWORD exStyle = WS_EX_CONTROLPARENT);
    TNotifyEvent OnShow;
    static const char* ClassName();
};

class TGroupBox : public TControl {
  public:
    void Create(TControl* parent, const std::string& caption, TBounds bounds);
};

class TButton : public TControl {
  public:
    void Create(TControl* parent, const std::string& caption, TBounds bounds,
                bool isDefault = false);
    void SetIcon(HICON icon);
    // Runs the click handler as a press of the button does.
    void Click();
    bool Default = false;
    TNotifyEvent OnClick;
    void Command(WORD code) override;
};

class TCheckBox : public TControl {
  public:
    void Create(TControl* parent, const std::string& caption, TBounds bounds);
    bool Checked() const;
    // Changing the state runs the click handler, as a click does.
    void SetChecked(bool checked);
    TNotifyEvent OnClick;
    void Command(WORD code) override;
};

class TLabel : public TControl {
  public:
    // showAccelChar: "&" marks an accelerator; off for labels that show file names.
    void Create(TControl* parent, const std::string& caption, TBounds bounds,
                bool showAccelChar = true, DWORD extraStyle = 0);
    COLORREF FontColor = CLR_INVALID;
    void SetFontColor(COLORREF color);
    COLORREF TextColor() const override { return FontColor; }
    TNotifyEvent OnClick;
    void Command(WORD code) override;
};

class TEdit : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds);
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
};

class TListBox : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, bool sorted, bool visible = true);
    int Count() const;
    std::string Item(int index) const;
    std::vector<std::string> Items() const;
    int Add(const std::string& text);
    void Delete(int index);
    void Clear();
    int ItemIndex() const;
    void SetItemIndex(int index);
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    void Command(WORD code) override;
};

class TProgressBar : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, bool visible = true);
    void SetRange(int minimum, int maximum);
    void SetStep(int step);
    void StepIt();
    void StepBy(int delta);
    int Position() const;
    void SetPosition(int position);
    int Max() const;
};

class TStatusBar : public TControl {
  public:
    // Panels are given by width; the bar spans the parent's bottom edge.
    void Create(TControl* parent, TBounds bounds, const std::vector<int>& panelWidths,
                const std::vector<bool>& rightAligned);
    std::string PanelText(int panel) const;
    void SetPanelText(int panel, const std::string& text);

  private:
    std::vector<std::string> texts_;
    std::vector<bool> rightAligned_;
};

class TImageList {
  public:
    TImageList() = default;
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;
    ~TImageList();
    // Loads a strip bitmap resource of 16 x 16 pictures; magenta is transparent.
    void LoadStrip(HINSTANCE instance, int resourceId, int count);
    HIMAGELIST Handle() const { return handle_; }
    // A picture as a 32-bit bitmap with alpha, for menu items.
    HBITMAP Bitmap(int index);

  private:
    HIMAGELIST handle_ = nullptr;
    std::vector<HBITMAP> bitmaps_;
};

// Tab control whose pages are containers placed inside it.
class TPageControl : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, TImageList* images);
    TContainer& AddPage(const std::string& caption, int imageIndex, int helpContext);
    int PageCount() const { return int(pages_.size()); }
    TContainer& Page(int index) { return *pages_[size_t(index)]; }
    int ActivePageIndex() const;
    // Brings a page to the front and runs its show event.
    void SetActivePage(int index);
    LRESULT Notify(NMHDR& header) override;

  private:
    void ShowPage(int index);
    std::vector<std::unique_ptr<TContainer>> pages_;
};

// A check list: a one-column list view with item check boxes and no header.
class TCheckListBox : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, int itemHeight);
    int Count() const;
    std::string Item(int index) const;
    std::vector<std::string> Items() const;
    void Add(const std::string& text);
    void Delete(int index);
    void Clear();
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    int ItemIndex() const;
    void SetItemIndex(int index);
    TNotifyEvent OnClick;
    LRESULT Notify(NMHDR& header) override;
};

// A report-style list view with item check boxes.
class TListView : public TControl {
  public:
    struct Column {
        std::string Caption;
        int Width;
        bool RightAligned;
    };
    void Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns);
    int Count() const;
    std::string Caption(int index) const;
    std::string SubItem(int index, int subItem) const;
    // Inserts an item with its sub-items at a position and returns that position.
    int Insert(int index, const std::string& caption, const std::vector<std::string>& subItems);
    void Delete(int index);
    void Clear();
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    // Suspends painting while many items change.
    void BeginUpdate();
    void EndUpdate();
    std::function<void(int index, bool selected)> OnSelectItem;
    LRESULT Notify(NMHDR& header) override;
};

class TMenuItem {
  public:
    std::string Caption;
    int ImageIndex = -1;
    bool Default = false;
    TNotifyEvent OnClick;
};

class TPopupMenu {
  public:
    TPopupMenu() = default;
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;
    ~TPopupMenu();
    TMenuItem& Add(const std::string& caption, int imageIndex, TNotifyEvent onClick,
                   bool isDefault = false);
    void Build(TImageList* images);
    HMENU Handle() const { return menu_; }
    int Count() const { return int(items_.size()); }
    TMenuItem& Item(int index) { return *items_[size_t(index)]; }
    // Shows the menu at a screen point and runs the chosen item.
    void Popup(HWND owner, int x, int y);

  private:
    std::vector<std::unique_ptr<TMenuItem>> items_;
    HMENU menu_ = nullptr;
};

} // namespace dv::ui
