#pragma once
// Which viewer shows the program's help: the legacy viewer with the .HLP file
// where one is installed, else HTML Help with the .CHM file beside it.
#include <windows.h>

#include <string>

namespace dv {

// The legacy viewer's window: where one is open, WinHelpA hands it the command.
constexpr char kLegacyViewerClass[] = "MS_WINHELP";

class THelpViewer {
  public:
    // The folder from which WinHelpA starts the legacy viewer (winhlp32.exe);
    // empty for the Windows folder.
    std::string LegacyViewerFolder;

    // Hands a WinHelpA command on helpFile (the .HLP file; the .CHM file lies
    // beside it) to the viewer that is installed, or tells the user in a box
    // captioned caption that there is no help to show.
    void Command(HWND owner, const std::string& helpFile, UINT command, ULONG_PTR data,
                 const std::string& caption);
    // Closes every HTML Help window, once HTML Help has been asked for.
    void CloseAll();

  private:
    bool htmlHelpAsked_ = false;
};

// Where HTML Help's library lies: hhctrl.ocx in the system folder.
std::string HtmlHelpLibraryPath();

} // namespace dv
