// Test entry: common controls and COM as the program sets them up, and modal
// dialogs answered by the tests instead of waiting for a person.
#include "TestSupport.h"

#include "app/Application.h"
#include "app/Strings.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <cstdio>

namespace {

// A crash on any thread fails the test: under Wine, a process whose thread
// crashed into the debugger may still end with status 0.
LONG WINAPI FailOnCrash(EXCEPTION_POINTERS* crash) {
    fprintf(stderr, "crash: exception 0x%08lx\n", crash->ExceptionRecord->ExceptionCode);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(FailOnCrash);
    // The tests write list files beside the program and delete files: they run
    // only from inside the private prefix, never from the host's drive Z:.
    if (dv::UpperAscii(dv::ProgramDir()).rfind("C:\\", 0) != 0) {
        fprintf(stderr, "dormivane_tests must run from drive C: of a private prefix\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    dv::Application.HelpFile = dv::ProgramDir() + "DORMIVANE.HLP";
    dvtest::ResetModal();
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
