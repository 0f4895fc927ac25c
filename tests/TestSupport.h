#pragma once
// What the tests share: answers for modal dialogs, scratch folders inside the
// private Wine prefix, registry set-up, and a form fixture. The one header the
// tests include; its helpers are defined in TestSupport.cpp, TestFiles.cpp,
// TestRegistry.cpp and TestProcesses.cpp.
#include "ui/UnitMainForm.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dvtest {

// Everything the modal hooks were asked, and what they answer.
struct ModalLog {
    struct Box {
        std::string Text, Caption;
        UINT Type;
    };
    std::vector<Box> Boxes;
    std::vector<std::pair<UINT, ULONG_PTR>> HelpCalls;
    std::vector<std::string> HelpFiles;
    std::vector<std::string> Opened;
    std::vector<std::string> BrowseTitles;
    // The folder the browse dialog answers with (UTF-8); none means the user cancels.
    std::optional<std::string> FolderAnswer;
    // Runs instead of a modal dialog's message loop; returns the modal result.
    std::function<int(HWND dialog)> ModalAnswer;
    int Popups = 0; // context menus shown; none is chosen
};

ModalLog& Modal();
// Puts the recording hooks in place and forgets what they recorded.
void ResetModal();

// Test texts are UTF-8, so that a test can name any file; the file helpers
// below take UTF-8 paths of any length.
std::wstring W(const std::string& utf8);
std::string U8(const std::wstring& wide);

// A fresh, empty folder for one test on drive C: of the private prefix
// (C:\dvtest\<suite>.<test>), with no final "\".
std::string ScratchDir();
// Removes a tree without following directory links.
void RemoveTree(const std::string& path);
void MakeDir(const std::string& path);
void WriteFile(const std::string& path, const std::string& content, DWORD attributes = 0);
std::string ReadFile(const std::string& path);
bool PathExists(const std::string& path);
// Sorted names of every entry below a directory, as relative paths.
std::vector<std::string> TreeListing(const std::string& root);

// The program's directory (where the list files live), with its final "\".
std::string ProgramDirectory();
// Deletes "dv.ini" and "DVext.ini" beside the program.
void RemoveListFiles();

// Registry helpers (HKEY_LOCAL_MACHINE settings key unless said otherwise).
void DeleteSettingsKey();
// Creates the settings key with the eight values at their defaults.
void CreateSettingsKey(int32_t cleaned = 0);
void SetSettingsDword(const std::string& name, DWORD value);
std::optional<DWORD> SettingsDword(const std::string& name);
std::optional<std::string> RunEntry();
// Takes the start-up entry out of the machine's and the user's lists.
void DeleteRunEntry();
std::vector<std::string> SettingsValueNames();
// Points a shell folder ("Recent", "Cache", "History", "Cookies") at a path,
// in both "Shell Folders" and "User Shell Folders".
void SetShellFolder(const std::string& name, const std::string& path);
// Points TMP and TEMP of this process at a path.
void SetTempDir(const std::string& path);

// Runs dormivane.exe (beside the tests) with a raw argument text; returns its
// exit code, or nullopt when it is still running after timeoutMs (it is then
// left running and its process handle returned through stillRunning).
struct ProgramRun {
    std::optional<DWORD> ExitCode;
    HANDLE Process = nullptr; // set while the program still runs
    DWORD ProcessId = 0;
};
ProgramRun RunProgram(const std::string& arguments, DWORD timeoutMs = 20000,
                      const std::string& programPath = "");
// Top-level visible windows of a process, by class name.
std::vector<HWND> WindowsOf(DWORD processId, const std::string& className = "");
void EndProcess(ProgramRun& run);

// Runs the messages queued for this thread.
void PumpMessages();

// A click as the user makes it: the parent receives BN_CLICKED and runs the
// handler under the general error report.
void ClickAsUser(const dv::ui::TButton& button);

// Raw access to one value of the settings key.
void SetSettingsValue(const std::string& name, DWORD type, const std::string& data);
void DeleteSettingsValue(const std::string& name);
// The registry type of a settings value, or nullopt when it is missing.
std::optional<DWORD> SettingsValueType(const std::string& name);
std::optional<std::string> SettingsString(const std::string& name);
void SetRunEntry(const std::string& command);

// A key's access list set from an SDDL text (e.g. "D:P(A;;KR;;;WD)", reading
// only) for as long as the guard lives, as an administrator may have set it;
// the key's own list is given back at the end.
struct KeyAccess {
    KeyAccess(HKEY root, const std::string& path, const char* sddl);
    ~KeyAccess();
    KeyAccess(const KeyAccess&) = delete;
    KeyAccess& operator=(const KeyAccess&) = delete;
    HKEY key = nullptr;
    alignas(8) BYTE saved[4096];
    bool restricted = false;
};

// The host's name of a path on a Wine drive; empty outside Wine.
std::string HostPath(const std::string& path);
// Starts a host program from Wine. Wine gives no handle to wait on for a host
// program, so callers wait for its effect.
bool RunHostCommand(std::string commandLine);
// Runs a shell script on the host in the folder dir and waits until it ends:
// it makes the names Win32 cannot ("x.", "s ", "nul").
bool RunHostScript(const std::string& dir, const std::string& script);
// Makes a directory link at link that points to target (an existing folder):
// a symbolic link when the platform makes one, else a host link that Wine lists
// as a reparse point. Returns false when neither works.
bool MakeDirectoryLink(const std::string& link, const std::string& target);
// Removes the link itself, never what it points to.
void RemoveDirectoryLink(const std::string& link);

// Waits until the process shows a top-level window of that class (or, with
// visibleOnly false, owns one); empty when none came within timeoutMs.
std::vector<HWND> WaitForWindows(DWORD processId, const std::string& className,
                                 DWORD timeoutMs = 20000, bool visibleOnly = true);
std::string WindowText(HWND window);

// A settings key, temp and shell folders all inside a scratch folder, no list
// files and no start-up entry (none left after the test either), and the
// recording modal hooks; the form is created on demand.
class FormTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    dv::TSForm& Form();
    // Creates the form now (running FormCreate) with the current state.
    dv::TSForm& CreateForm();
    void DestroyForm();

    std::string root_;    // scratch folder of this test
    std::string tempDir_; // TMP and TEMP, without final "\"
    std::string recent_, cache_, history_, cookies_;
    std::unique_ptr<dv::TSForm> form_;
};

} // namespace dvtest
