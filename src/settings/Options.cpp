// The stored options: checking and initialising the settings key at start-up,
// reading it into the window, and storing each target box when it changes.
#include "app/Application.h"
#include "app/Strings.h"
#include "clean/FreedSpace.h"
#include "settings/Registry.h"
#include "settings/SettingsKey.h"
#include "settings/StartupEntry.h"
#include "ui/UnitMainForm.h"

namespace dv {

namespace {

const int kSettingsValueCount = 8;

// The target boxes by tag, with their value names.
const char* const kTargetValues[] = {"Temp", "Recent", "Cache", "History", "Cookies"};

} // namespace

bool TSForm::CheckRegInit(TRegistry& registry) {
    if (!registry.OpenKey(kSettingsKey, false, KEY_QUERY_VALUE))
        return false;
    return registry.GetValueNames().size() == kSettingsValueCount;
}

void TSForm::InitOptions(TRegistry& registry) {
    if (!registry.OpenKey(kSettingsKey, true, KEY_SET_VALUE))
        return;
    registry.WriteString("InstallDir", ProgramFolder());
    for (const char* name : kTargetValues)
        registry.WriteBool(name, false);
    registry.WriteBool("StClean", false);
    registry.WriteInteger("Cleaned", 0);
    // The window now shows the logon clean off; an entry left behind would
    // still empty the folders at every logon. An entry this user may not
    // remove is reported, and start-up goes on: this removal must not stop it.
    Guarded([] { RemoveStartupEntry(); });
}

void TSForm::ReadOptions(TRegistry& registry) {
    if (!registry.OpenKey(kSettingsKey, false, KEY_QUERY_VALUE))
        return;
    ui::TCheckBox* boxes[] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5};
    for (int i = 0; i < 5; ++i)
        if (registry.ReadBool(kTargetValues[i]))
            boxes[i]->SetChecked(true); // runs CheckClick, which stores it back
    if (registry.ReadBool("StClean"))
        CheckBoot.SetChecked(true); // runs CheckBootClick, which rewrites the start-up entry
    StatusBar1.SetPanelText(1, FreedSpaceText(registry.ReadInteger("Cleaned")));
    PageControl1.SetActivePage(0);
}

void TSForm::CheckClick(ui::TCheckBox& sender) {
    if (sender.Tag < 1 || sender.Tag > 5)
        return;
    TRegistry registry(HKEY_LOCAL_MACHINE);
    if (registry.OpenKey(kSettingsKey, false, KEY_SET_VALUE))
        registry.WriteBool(kTargetValues[sender.Tag - 1], sender.Checked());
}

} // namespace dv
