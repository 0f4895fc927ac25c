#include "app/Modal.h"

#include "app/HelpViewer.h"

#include <shlobj.h>

namespace dv {

namespace {

int PlatformMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type | MB_TASKMODAL);
}

bool PlatformBrowseForFolder(HWND owner, const std::wstring& title, std::wstring& chosen) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    if (!list)
        return false;
    wchar_t path[MAX_PATH] = L"";
    bool ok = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    if (ok)
        chosen = path;
    return ok;
}

BOOL PlatformWinHelp(HWND owner, const std::string& file, UINT command, ULONG_PTR data) {
    const bool viewerRunning = FindWindowA(kLegacyViewerClass, nullptr);
    if (WinHelpA(owner, file.c_str(), command, data) || viewerRunning)
        return TRUE;
    // WinHelpA may start the viewer and look for its window before the viewer
    // has made it (Wine's does, every time), so the first request of a session
    // would be lost: wait for the new viewer and ask once more.
    for (int waited = 0; waited < 3000 && !FindWindowA(kLegacyViewerClass, nullptr); waited += 20)
        Sleep(20);
    return FindWindowA(kLegacyViewerClass, nullptr) && WinHelpA(owner, file.c_str(), command, data);
}

// HTML Help's library, loaded from the system folder on first use and kept:
// it is no import of the program, so the program runs where it is missing.
bool PlatformHtmlHelp(HWND owner, const std::string& file, UINT command, DWORD_PTR data) {
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    static const auto htmlHelp = [] {
        HMODULE library = LoadLibraryA(HtmlHelpLibraryPath().c_str());
        return library ? reinterpret_cast<HtmlHelpFunction>(
                             reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")))
                       : nullptr;
    }();
    if (!htmlHelp)
        return false;
    htmlHelp(owner, file.empty() ? nullptr : file.c_str(), command, data);
    return true;
}

// Disables the owner, runs messages until the dialog hides itself, and returns
// the result the dialog stored in its "DvModalResult" window property.
int PlatformShowModal(HWND dialog, HWND owner) {
    EnableWindow(owner, FALSE);
    SetPropA(dialog, "DvModalResult", nullptr);
    ShowWindow(dialog, SW_SHOW);
    MSG msg;
    while (IsWindowVisible(dialog) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (msg.message == WM_QUIT)
        PostQuitMessage(int(msg.wParam));
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
    return int(reinterpret_cast<INT_PTR>(GetPropA(dialog, "DvModalResult")));
}

void PlatformShellOpen(HWND owner, const std::string& file) {
    ShellExecuteA(owner, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

UINT PlatformTrackPopupMenu(HMENU menu, int x, int y, HWND owner) {
    return UINT(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
}

} // namespace

ModalHooks PlatformModal() {
    return {PlatformMessageBox, PlatformBrowseForFolder, PlatformWinHelp,       PlatformHtmlHelp,
            PlatformShowModal,  PlatformShellOpen,       PlatformTrackPopupMenu};
}

ModalHooks& Modal() {
    static ModalHooks hooks = PlatformModal();
    return hooks;
}

} // namespace dv
