#pragma once
// Every modal interaction of the program passes through these hooks, so that
// tests can answer a dialog instead of waiting for a person.
#include <windows.h>

#include <htmlhelp.h>

#include <functional>
#include <string>

namespace dv {

struct ModalHooks {
    // A message box; returns the button pressed (IDOK ...).
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>
        MessageBox;
    // The shell's folder chooser; returns false when the user cancels. The
    // path comes in UTF-16, as the shell gives it.
    std::function<bool(HWND owner, const std::wstring& title, std::wstring& chosen)>
        BrowseForFolder;
    // The platform help system: the legacy viewer (WinHelpA) and HTML Help
    // (HtmlHelpA; returns false where HTML Help is not installed).
    std::function<BOOL(HWND owner, const std::string& file, UINT command, ULONG_PTR data)> WinHelp;
    std::function<bool(HWND owner, const std::string& file, UINT command, DWORD_PTR data)> HtmlHelp;
    // Runs a window modally until it is closed; returns its modal result.
    std::function<int(HWND dialog, HWND owner)> ShowModal;
    // The shell's "open" of a document or address.
    std::function<void(HWND owner, const std::string& file)> ShellOpen;
    // A context menu at a screen position; returns the item chosen, 0 for none.
    std::function<UINT(HMENU menu, int x, int y, HWND owner)> TrackPopupMenu;
};

// The hooks in force; they start as the real platform calls.
ModalHooks& Modal();
ModalHooks PlatformModal();

} // namespace dv
