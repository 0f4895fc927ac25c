#include "settings/StartupEntry.h"

#include "app/Errors.h"
#include "settings/Registry.h"
#include "settings/SettingsKey.h"

namespace dv {

namespace {

bool WriteMachineEntry(const std::wstring& command) {
    TRegistry machine(HKEY_LOCAL_MACHINE);
    if (!machine.OpenKey(kRunKey, false, KEY_SET_VALUE))
        return false;
    try {
        machine.WriteString(kRunValue, command);
    } catch (const ERegistryException&) {
        return false;
    }
    return true;
}

bool MachineEntryExists() {
    TRegistry machine(HKEY_LOCAL_MACHINE);
    return machine.OpenKey(kRunKey, false, KEY_QUERY_VALUE) && machine.ValueExists(kRunValue);
}

// The machine's entry as this user may read it; empty when there is none.
std::wstring MachineEntry() {
    TRegistry machine(HKEY_LOCAL_MACHINE);
    machine.OpenKey(kRunKey, false, KEY_QUERY_VALUE);
    return ReadStringOrEmpty(machine, kRunValue);
}

void RemoveUserEntry() {
    TRegistry user(HKEY_CURRENT_USER);
    if (user.OpenKey(kRunKey, false, KEY_SET_VALUE))
        user.DeleteValue(kRunValue);
}

} // namespace

void WriteStartupEntry(const std::wstring& command) {
    // An entry in both lists would run the clean twice at logon: where the
    // machine's list holds this command, written now or before, the user's
    // list loses the one it got while the machine's was closed.
    if (WriteMachineEntry(command) || MachineEntry() == command) {
        RemoveUserEntry();
        return;
    }
    TRegistry user(HKEY_CURRENT_USER);
    user.OpenKey(kRunKey, true, KEY_SET_VALUE);
    user.WriteString(kRunValue, command); // raises as well when the key did not open
}

void RemoveStartupEntry() {
    RemoveUserEntry();
    TRegistry machine(HKEY_LOCAL_MACHINE);
    if (machine.OpenKey(kRunKey, false, KEY_SET_VALUE))
        machine.DeleteValue(kRunValue);
    else if (MachineEntryExists())
        FailSet(kRunValue);
}

} // namespace dv
