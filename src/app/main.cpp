// Program entry: the application object, the main window and the "New type"
// dialog, then the message loop.
#include "app/Application.h"
#include "app/Strings.h"
#include "scan/Unit1.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    dv::Application.Title = "Dormivane";
    // Named by its full path: the help system would look for a bare name in the
    // current directory, which is wherever Windows started the program and,
    // after a clean run, the last folder cleaned.
    dv::Application.HelpFile = dv::ProgramDir() + "DORMIVANE.HLP";
    dv::TSForm form;
    dv::TAddExt addExt;
    dv::Application.PreTranslate = [](MSG& msg) {
        return dv::SForm && dv::SForm->PreTranslateKey(msg);
    };
    if (!dv::Application.Terminated)
        form.Show();
    int code = dv::Application.RunMessageLoop();
    OleUninitialize();
    return code;
}
