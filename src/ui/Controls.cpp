#include "ui/Controls.h"

#include "app/Application.h"

#include <windowsx.h>

namespace dv::ui {

std::function<void(TControl*)> OnMouseOverControl;

namespace {

const char kControlProp[] = "DvControl";

int NextControlId() {
    static int id = 1000;
    return ++id;
}

HFONT DefaultFont() {
    static HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    return font;
}

// One tooltip window per top-level window; every control is a tool whose text
// is asked for when the tip shows, so hints changed later show their new text.
HWND TooltipFor(HWND topLevel) {
    HWND tip = static_cast<HWND>(GetPropA(topLevel, "DvTooltip"));
    if (!tip) {
        tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, topLevel,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
        SetPropA(topLevel, "DvTooltip", tip);
    }
    return tip;
}

void AddTool(HWND control) {
    HWND topLevel = GetAncestor(control, GA_ROOT);
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = topLevel;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(TooltipFor(topLevel), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT TooltipText(NMTTDISPINFOA& info) {
    static std::string text;
    TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(info.hdr.idFrom));
    text = control ? control->EffectiveHint() : std::string();
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

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (RouteChildMessage(hwnd, message, wParam, lParam, result))
        return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
    LRESULT result = 0;
    if (message != WM_SETCURSOR && RouteChildMessage(hwnd, message, wParam, lParam, result))
        return result;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

std::string ListViewText(HWND list, int index, int subItem) {
    std::string text(64, '\0');
    for (;;) {
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = text.data();
        item.cchTextMax = int(text.size());
        int length = int(SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(index), LPARAM(&item)));
        if (length < int(text.size()) - 1) {
            text.resize(size_t(length));
            return text;
        }
        text.resize(text.size() * 4);
    }
}

bool ListViewChecked(HWND list, int index) {
    UINT state = UINT(SendMessageA(list, LVM_GETITEMSTATE, WPARAM(index), LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void ListViewSetChecked(HWND list, int index, bool checked) {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

int ListViewSelected(HWND list) {
    return int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

// Check box pictures of the given size, so that the item height can be smaller
// than the system's 16-pixel state images.
HIMAGELIST CheckImages(int size) {
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32, 2, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    for (UINT state : {UINT(DFCS_BUTTONCHECK), UINT(DFCS_BUTTONCHECK | DFCS_CHECKED)}) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT box{0, 0, size, size};
        FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
        DrawFrameControl(dc, &box, DFC_BUTTON, state | DFCS_FLAT);
        SelectObject(dc, old);
        ImageList_Add(images, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return images;
}

template <class List> std::vector<std::string> AllItems(const List& list) {
    std::vector<std::string> items;
    for (int i = 0, n = list.Count(); i < n; ++i)
        items.push_back(list.Item(i));
    return items;
}

void SetupListView(HWND list, DWORD exStyle) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, exStyle, exStyle);
}

} // namespace

// ---- TControl ----

TControl::~TControl() {
    if (hwnd_ && IsWindow(hwnd_)) {
        RemovePropA(hwnd_, kControlProp);
        if (!parent_)
            DestroyWindow(hwnd_);
    }
}

TControl* TControl::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<TControl*>(GetPropA(hwnd, kControlProp)) : nullptr;
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
    SetPropA(hwnd_, kControlProp, this);
}

void TControl::CreateHandle(TControl* parent, const char* className, const std::string& text,
                            DWORD style, DWORD exStyle, TBounds b) {
    HWND hwnd = CreateWindowExA(exStyle, className, text.c_str(), style | WS_CHILD, b.Left, b.Top,
                                b.Width, b.Height, parent->Handle(),
                                reinterpret_cast<HMENU>(INT_PTR(NextControlId())),
                                GetModuleHandleA(nullptr), nullptr);
    Attach(hwnd, parent);
    SetFont(DefaultFont());
    AddTool(hwnd);
}

std::string TControl::Caption() const {
    std::string text(size_t(GetWindowTextLengthA(hwnd_)) + 1, '\0');
    text.resize(size_t(GetWindowTextA(hwnd_, text.data(), int(text.size()))));
    return text;
}

void TControl::SetCaption(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

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

void TControl::SetFont(HFONT font) { SendMessageA(hwnd_, WM_SETFONT, WPARAM(font), TRUE); }

std::string TControl::EffectiveHint() const {
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
    case WM_NOTIFY: {
        NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.code == TTN_GETDISPINFOA) {
            result = TooltipText(reinterpret_cast<NMTTDISPINFOA&>(header));
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

// ---- TContainer ----

const char* TContainer::ClassName() {
    static const char* name = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ContainerProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = "DormivanePage";
        RegisterClassA(&windowClass);
        return "DormivanePage";
    }();
    return name;
}

void TContainer::Create(TControl* parent, TBounds bounds, DWORD exStyle) {
    CreateHandle(parent, ClassName(), "", WS_CLIPSIBLINGS, exStyle, bounds);
}

// ---- TGroupBox ----

void TGroupBox::Create(TControl* parent, const std::string& caption, TBounds bounds) {
    CreateHandle(parent, "Button", caption, BS_GROUPBOX | WS_VISIBLE, WS_EX_CONTROLPARENT, bounds);
    SetWindowSubclass(hwnd_, GroupBoxProc, 1, 0);
}

// ---- TButton ----

void TButton::Create(TControl* parent, const std::string& caption, TBounds bounds, bool isDefault) {
    Default = isDefault;
    CreateHandle(parent, "Button", caption,
                 (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | WS_VISIBLE, 0,
                 bounds);
}

void TButton::SetIcon(HICON icon) {
    SendMessageA(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

void TButton::Click() {
    if (OnClick)
        OnClick();
}

void TButton::Command(WORD code) {
    if (code == BN_CLICKED)
        Click();
}

// ---- TCheckBox ----

void TCheckBox::Create(TControl* parent, const std::string& caption, TBounds bounds) {
    CreateHandle(parent, "Button", caption, BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 0, bounds);
}

bool TCheckBox::Checked() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
    if (Checked() == checked)
        return;
    SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick)
        OnClick();
}

void TCheckBox::Command(WORD code) {
    if (code == BN_CLICKED && OnClick)
        OnClick();
}

// ---- TLabel ----

void TLabel::Create(TControl* parent, const std::string& caption, TBounds bounds,
                    bool showAccelChar, DWORD extraStyle) {
    CreateHandle(parent, "Static", caption,
                 SS_LEFT | SS_NOTIFY | WS_VISIBLE | (showAccelChar ? 0 : SS_NOPREFIX) | extraStyle,
                 0, bounds);
}

void TLabel::SetFontColor(COLORREF color) {
    FontColor = color;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TLabel::Command(WORD code) {
    if (code == STN_CLICKED && OnClick)
        OnClick();
}

// ---- TEdit ----

void TEdit::Create(TControl* parent, TBounds bounds) {
    CreateHandle(parent, "Edit", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE, WS_EX_CLIENTEDGE,
                 bounds);
}

// ---- TListBox ----

void TListBox::Create(TControl* parent, TBounds bounds, bool sorted, bool visible) {
    CreateHandle(parent, "ListBox", "",
                 LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP |
                     (sorted ? LBS_SORT : 0) | (visible ? WS_VISIBLE : 0),
                 WS_EX_CLIENTEDGE, bounds);
}

int TListBox::Count() const { return int(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

std::string TListBox::Item(int index) const {
    LRESULT length = SendMessageA(hwnd_, LB_GETTEXTLEN, WPARAM(index), 0);
    if (length == LB_ERR)
        return {};
    std::string text(size_t(length) + 1, '\0');
    text.resize(size_t(SendMessageA(hwnd_, LB_GETTEXT, WPARAM(index), LPARAM(text.data()))));
    return text;
}

std::vector<std::string> TListBox::Items() const { return AllItems(*this); }

int TListBox::Add(const std::string& text) {
    return int(SendMessageA(hwnd_, LB_ADDSTRING, 0, LPARAM(text.c_str())));
}

void TListBox::Delete(int index) { SendMessageA(hwnd_, LB_DELETESTRING, WPARAM(index), 0); }

void TListBox::Clear() { SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0); }

int TListBox::ItemIndex() const { return int(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)); }

void TListBox::SetItemIndex(int index) { SendMessageA(hwnd_, LB_SETCURSEL, WPARAM(index), 0); }

void TListBox::Command(WORD code) {
    if (code == LBN_SELCHANGE && OnClick)
        OnClick();
    else if (code == LBN_DBLCLK && OnDblClick)
        OnDblClick();
}

// ---- TProgressBar ----

void TProgressBar::Create(TControl* parent, TBounds bounds, bool visible) {
    CreateHandle(parent, PROGRESS_CLASSA, "", visible ? WS_VISIBLE : 0, 0, bounds);
    SetRange(0, 100);
}

void TProgressBar::SetRange(int minimum, int maximum) {
    SendMessageA(hwnd_, PBM_SETRANGE32, WPARAM(minimum), LPARAM(maximum));
}

void TProgressBar::SetStep(int step) { SendMessageA(hwnd_, PBM_SETSTEP, WPARAM(step), 0); }

void TProgressBar::StepIt() { SendMessageA(hwnd_, PBM_STEPIT, 0, 0); }

void TProgressBar::StepBy(int delta) { SendMessageA(hwnd_, PBM_DELTAPOS, WPARAM(delta), 0); }

int TProgressBar::Position() const { return int(SendMessageA(hwnd_, PBM_GETPOS, 0, 0)); }

void TProgressBar::SetPosition(int position) {
    SendMessageA(hwnd_, PBM_SETPOS, WPARAM(position), 0);
}

int TProgressBar::Max() const { return int(SendMessageA(hwnd_, PBM_GETRANGE, FALSE, 0)); }

// ---- TStatusBar ----

void TStatusBar::Create(TControl* parent, TBounds bounds, const std::vector<int>& panelWidths,
                        const std::vector<bool>& rightAligned) {
    CreateHandle(parent, STATUSCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN | WS_VISIBLE, 0,
                 bounds);
    std::vector<int> edges;
    int right = 0;
    for (int width : panelWidths)
        edges.push_back(right += width);
    edges.back() = -1; // the last panel takes the rest of the bar
    SendMessageA(hwnd_, SB_SETPARTS, WPARAM(edges.size()), LPARAM(edges.data()));
    texts_.assign(panelWidths.size(), {});
    rightAligned_ = rightAligned;
}

std::string TStatusBar::PanelText(int panel) const { return texts_.at(size_t(panel)); }

void TStatusBar::SetPanelText(int panel, const std::string& text) {
    texts_.at(size_t(panel)) = text;
    std::string shown = rightAligned_.at(size_t(panel)) ? "\t\t" + text : text;
    SendMessageA(hwnd_, SB_SETTEXTA, WPARAM(panel), LPARAM(shown.c_str()));
}

// ---- TImageList ----

TImageList::~TImageList() {
    for (HBITMAP bitmap : bitmaps_)
        if (bitmap)
            DeleteObject(bitmap);
    if (handle_)
        ImageList_Destroy(handle_);
}

void TImageList::LoadStrip(HINSTANCE instance, int resourceId, int count) {
    handle_ = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 0);
    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(resourceId),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (strip) {
        ImageList_AddMasked(handle_, strip, RGB(255, 0, 255));
        DeleteObject(strip);
    }
    bitmaps_.assign(size_t(count), nullptr);
}

HBITMAP TImageList::Bitmap(int index) {
    if (index < 0 || size_t(index) >= bitmaps_.size())
        return nullptr;
    HBITMAP& bitmap = bitmaps_[size_t(index)];
    if (!bitmap) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, 16, 16};
        FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
        ImageList_Draw(handle_, index, dc, 0, 0, ILD_TRANSPARENT);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    return bitmap;
}

// ---- TPageControl ----

void TPageControl::Create(TControl* parent, TBounds bounds, TImageList* images) {
    CreateHandle(parent, WC_TABCONTROLA, "",
                 TCS_BUTTONS | TCS_FLATBUTTONS | TCS_HOTTRACK | WS_CLIPCHILDREN | WS_TABSTOP |
                     WS_VISIBLE,
                 WS_EX_CONTROLPARENT, bounds);
    if (images)
        SendMessageA(hwnd_, TCM_SETIMAGELIST, 0, LPARAM(images->Handle()));
}

TContainer& TPageControl::AddPage(const std::string& caption, int imageIndex, int helpContext) {
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<char*>(caption.c_str());
    item.iImage = imageIndex;
    SendMessageA(hwnd_, TCM_INSERTITEMA, WPARAM(pages_.size()), LPARAM(&item));
    // Every page has the same client area below the tabs.
    auto page = std::make_unique<TContainer>();
    page->Create(this, {4, 28, 427, 223});
    page->HelpContext = helpContext;
    page->SetVisible(pages_.empty());
    pages_.push_back(std::move(page));
    return *pages_.back();
}

int TPageControl::ActivePageIndex() const { return int(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0)); }

void TPageControl::SetActivePage(int index) {
    SendMessageA(hwnd_, TCM_SETCURSEL, WPARAM(index), 0);
    ShowPage(index);
}

void TPageControl::ShowPage(int index) {
    for (size_t i = 0; i < pages_.size(); ++i)
        if (int(i) != index)
            pages_[i]->SetVisible(false);
    TContainer& page = *pages_.at(size_t(index));
    bool wasVisible = page.Visible();
    page.SetVisible(true);
    if (!wasVisible && page.OnShow)
        page.OnShow();
}

LRESULT TPageControl::Notify(NMHDR& header) {
    if (header.code == TCN_SELCHANGE)
        ShowPage(ActivePageIndex());
    return 0;
}

// ---- TCheckListBox ----

void TCheckListBox::Create(TControl* parent, TBounds bounds, int itemHeight) {
    CreateHandle(parent, WC_LISTVIEWA, "",
                 LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP |
                     WS_VISIBLE,
                 WS_EX_CLIENTEDGE, bounds);
    SetupListView(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_STATE, LPARAM(CheckImages(itemHeight)));
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = bounds.Width - GetSystemMetrics(SM_CXVSCROLL) - 4;
    SendMessageA(hwnd_, LVM_INSERTCOLUMNA, 0, LPARAM(&column));
}

int TCheckListBox::Count() const { return int(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

std::string TCheckListBox::Item(int index) const { return ListViewText(hwnd_, index, 0); }

std::vector<std::string> TCheckListBox::Items() const { return AllItems(*this); }

void TCheckListBox::Add(const std::string& text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = Count();
    item.pszText = const_cast<char*>(text.c_str());
    int index = int(SendMessageA(hwnd_, LVM_INSERTITEMA, 0, LPARAM(&item)));
    ListViewSetChecked(hwnd_, index, false);
}

void TCheckListBox::Delete(int index) { SendMessageA(hwnd_, LVM_DELETEITEM, WPARAM(index), 0); }

void TCheckListBox::Clear() { SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0); }

bool TCheckListBox::Checked(int index) const { return ListViewChecked(hwnd_, index); }

void TCheckListBox::SetChecked(int index, bool checked) {
    ListViewSetChecked(hwnd_, index, checked);
}

int TCheckListBox::ItemIndex() const { return ListViewSelected(hwnd_); }

void TCheckListBox::SetItemIndex(int index) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

LRESULT TCheckListBox::Notify(NMHDR& header) {
    if (header.code == NM_CLICK && OnClick)
        OnClick();
    return 0;
}

// ---- TListView ----

void TListView::Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns) {
    CreateHandle(parent, WC_LISTVIEWA, "",
                 LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_VISIBLE,
                 WS_EX_CLIENTEDGE, bounds);
    SetupListView(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FLATSB | LVS_EX_TRACKSELECT);
    for (size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = columns[i].RightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = columns[i].Width;
        column.pszText = const_cast<char*>(columns[i].Caption.c_str());
        column.iSubItem = int(i);
        SendMessageA(hwnd_, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&column));
    }
}

int TListView::Count() const { return int(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

std::string TListView::Caption(int index) const { return ListViewText(hwnd_, index, 0); }

std::string TListView::SubItem(int index, int subItem) const {
    return ListViewText(hwnd_, index, subItem);
}

int TListView::Insert(int index, const std::string& caption,
                      const std::vector<std::string>& subItems) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(caption.c_str());
    int at = int(SendMessageA(hwnd_, LVM_INSERTITEMA, 0, LPARAM(&item)));
    for (size_t i = 0; i < subItems.size(); ++i) {
        LVITEMA sub{};
        sub.iSubItem = int(i) + 1;
        sub.pszText = const_cast<char*>(subItems[i].c_str());
        SendMessageA(hwnd_, LVM_SETITEMTEXTA, WPARAM(at), LPARAM(&sub));
    }
    ListViewSetChecked(hwnd_, at, false);
    return at;
}

void TListView::Delete(int index) { SendMessageA(hwnd_, LVM_DELETEITEM, WPARAM(index), 0); }

void TListView::Clear() { SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0); }

bool TListView::Checked(int index) const { return ListViewChecked(hwnd_, index); }

void TListView::SetChecked(int index, bool checked) { ListViewSetChecked(hwnd_, index, checked); }

bool TListView::Selected(int index) const {
    return SendMessageA(hwnd_, LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED) & LVIS_SELECTED;
}

void TListView::SetSelected(int index, bool selected) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

void TListView::BeginUpdate() { SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0); }

void TListView::EndUpdate() {
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT TListView::Notify(NMHDR& header) {
    if (header.code != LVN_ITEMCHANGED || !OnSelectItem)
        return 0;
    NMLISTVIEW& change = reinterpret_cast<NMLISTVIEW&>(header);
    bool selectionChanged =
        (change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED);
    if (selectionChanged && change.iItem >= 0)
        OnSelectItem(change.iItem, change.uNewState & LVIS_SELECTED);
    return 0;
}

// ---- TPopupMenu ----

TPopupMenu::~TPopupMenu() {
    if (menu_)
        DestroyMenu(menu_);
}

TMenuItem& TPopupMenu::Add(const std::string& caption, int imageIndex, TNotifyEvent onClick,
                           bool isDefault) {
    auto item = std::make_unique<TMenuItem>();
    item->Caption = caption;
    item->ImageIndex = imageIndex;
    item->OnClick = std::move(onClick);
    item->Default = isDefault;
    items_.push_back(std::move(item));
    return *items_.back();
}

void TPopupMenu::Build(TImageList* images) {
    menu_ = CreatePopupMenu();
    for (size_t i = 0; i < items_.size(); ++i) {
        const TMenuItem& item = *items_[i];
        UINT id = UINT(i + 1);
        AppendMenuA(menu_, MF_STRING, id, item.Caption.c_str());
        if (images && item.ImageIndex >= 0) {
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_BITMAP;
            info.hbmpItem = images->Bitmap(item.ImageIndex);
            SetMenuItemInfoA(menu_, id, FALSE, &info);
        }
        if (item.Default)
            SetMenuDefaultItem(menu_, id, FALSE);
    }
}

void TPopupMenu::Popup(HWND owner, int x, int y) {
    UINT chosen =
        UINT(TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    if (chosen >= 1 && chosen <= items_.size() && items_[chosen - 1]->OnClick)
        Guarded([&] { items_[chosen - 1]->OnClick(); });
}

} // namespace dv::ui
