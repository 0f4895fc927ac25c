// Test helpers: the modal dialogs' stand-ins, the message pump, clicks and the
// form fixture. The helpers for files, the registry and processes are in
// TestFiles.cpp, TestRegistry.cpp and TestProcesses.cpp.
#include "TestSupport.h"

#include "app/Application.h"
#include "app/Modal.h"

namespace dvtest {

ModalLog& Modal() {
    static ModalLog log;
    return log;
}

void ResetModal() {
    Modal() = ModalLog{};
    dv::ModalHooks& hooks = dv::Modal();
    hooks.MessageBox = [](HWND, const std::string& text, const std::string& caption, UINT type) {
        Modal().Boxes.push_back({text, caption, type});
        return IDOK;
    };
    hooks.BrowseForFolder = [](HWND, const std::wstring& title, std::wstring& chosen) {
        Modal().BrowseTitles.push_back(U8(title));
        if (!Modal().FolderAnswer)
            return false;
        chosen = W(*Modal().FolderAnswer);
        return true;
    };
    hooks.WinHelp = [](HWND, const std::string& file, UINT command, ULONG_PTR data) {
        Modal().HelpFiles.push_back(file);
        Modal().HelpCalls.emplace_back(command, data);
        return TRUE;
    };
    hooks.ShowModal = [](HWND dialog, HWND) {
        return Modal().ModalAnswer ? Modal().ModalAnswer(dialog) : IDCANCEL;
    };
    hooks.ShellOpen = [](HWND, const std::string& file) { Modal().Opened.push_back(file); };
    hooks.TrackPopupMenu = [](HMENU, int, int, HWND) {
        ++Modal().Popups;
        return UINT(0);
    };
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ClickAsUser(const dv::ui::TButton& button) {
    HWND hwnd = button.Handle();
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd));
}

void FormTest::SetUp() {
    ResetModal();
    dv::Application.Terminated = false;
    root_ = ScratchDir();
    tempDir_ = root_ + "\\temp";
    recent_ = root_ + "\\recent";
    cache_ = root_ + "\\cache";
    history_ = root_ + "\\history";
    cookies_ = root_ + "\\cookies";
    for (const std::string* dir : {&tempDir_, &recent_, &cache_, &history_, &cookies_})
        MakeDir(*dir);
    SetTempDir(tempDir_);
    SetShellFolder("Recent", recent_);
    SetShellFolder("Cache", cache_);
    SetShellFolder("History", history_);
    SetShellFolder("Cookies", cookies_);
    CreateSettingsKey();
    DeleteRunEntry();
    RemoveListFiles();
}

void FormTest::TearDown() {
    DestroyForm();
    DeleteRunEntry();
    RemoveListFiles();
    SetCurrentDirectoryA("C:\\");
    RemoveTree(root_);
}

dv::TSForm& FormTest::Form() { return form_ ? *form_ : CreateForm(); }

dv::TSForm& FormTest::CreateForm() {
    DestroyForm();
    form_ = std::make_unique<dv::TSForm>();
    return *form_;
}

void FormTest::DestroyForm() {
    form_.reset();
    PumpMessages();
}

} // namespace dvtest