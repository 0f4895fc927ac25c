#include "ui/ListBox.h"

#include "app/Strings.h"

namespace dv::ui {

void TListBox::Create(TControl* parent, TBounds bounds, bool sorted, bool visible) {
    CreateHandle(parent, L"ListBox", "",
                 LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP |
                     (sorted ? LBS_SORT : 0) | (visible ? WS_VISIBLE : 0),
                 WS_EX_CLIENTEDGE, bounds);
}

int TListBox::Count() const { return int(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

// Read in the list's own UTF-16: Wine converts the ANSI LB_GETTEXT through a
// fixed buffer of 512 characters on its stack, which a longer item overruns.
std::wstring TListBox::WideItem(int index) const {
    const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, WPARAM(index), 0);
    if (length == LB_ERR)
        return {};
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(SendMessageW(hwnd_, LB_GETTEXT, WPARAM(index), LPARAM(text.data()))));
    return text;
}

std::string TListBox::Item(int index) const { return WideToAnsi(WideItem(index)); }

std::vector<std::string> TListBox::Items() const { return AllItems(*this); }

std::vector<std::wstring> TListBox::WideItems() const {
    std::vector<std::wstring> items;
    for (int i = 0, n = Count(); i < n; ++i)
        items.push_back(WideItem(i));
    return items;
}

int TListBox::Add(const std::string& text) {
    return int(SendMessageA(hwnd_, LB_ADDSTRING, 0, LPARAM(text.c_str())));
}

int TListBox::Add(const std::wstring& text) {
    return int(SendMessageW(hwnd_, LB_ADDSTRING, 0, LPARAM(text.c_str())));
}

void TListBox::Delete(int index) { SendMessageA(hwnd_, LB_DELETESTRING, WPARAM(index), 0); }

void TListBox::Clear() { SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0); }

int TListBox::ItemIndex() const { return int(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)); }

void TListBox::SetItemIndex(int index) { SendMessageA(hwnd_, LB_SETCURSEL, WPARAM(index), 0); }

void TListBox::ScaleTo(int dpi) {
    const LRESULT top = SendMessageA(hwnd_, LB_GETTOPINDEX, 0, 0);
    TControl::ScaleTo(dpi);
    SendMessageA(hwnd_, LB_SETTOPINDEX, WPARAM(top), 0);
}

void TListBox::Command(WORD code) {
    if (code == LBN_SELCHANGE && OnClick)
        OnClick();
    else if (code == LBN_DBLCLK && OnDblClick)
        OnDblClick();
}

} // namespace dv::ui
