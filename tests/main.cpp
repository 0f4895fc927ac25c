// Test entry: common controls and COM as the program sets them up, and modal
// dialogs answered by the tests instead of waiting for a person.
#include "TestSupport.h"

#include "app/Application.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    dv::Application.HelpFile = "DORMIVANE.HLP";
    dvtest::ResetModal();
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
