// The clean run: every chosen target emptied in turn, and the freed-space total.
#include "app/Application.h"
#include "app/Errors.h"
#include "app/RunProgress.h"
#include "app/Strings.h"
#include "clean/CleanTarget.h"
#include "clean/FreedSpace.h"
#include "clean/UnitSysDir.h"
#include "settings/Registry.h"
#include "settings/SettingsKey.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

namespace dv {

namespace {

const COLORREF kGreen = RGB(0, 128, 0);
const COLORREF kMaroon = RGB(128, 0, 0);

} // namespace

void TSForm::bCleanNowClick() {
    RequireSysDir();
    bCleanNow.SetEnabled(false);
    // The button, the bar and the counter are reset however the run ends.
    struct RunEnd {
        TSForm& form;
        ~RunEnd() {
            form.CleanedKB = 0;
            form.ProgressBar1.SetPosition(0);
            form.bCleanNow.SetEnabled(true);
        }
    } runEnd{*this};
    lprog.SetFontColor(GetSysColor(COLOR_BTNFACE));
    SysDir->ReadFolders();

    std::vector<std::wstring> targets;
    const std::pair<ui::TCheckBox*, std::wstring*> systemFolders[] = {
        {&CheckBox1, &SysDir->FTempDir},    {&CheckBox2, &SysDir->FRecentDir},
        {&CheckBox3, &SysDir->FCacheDir},   {&CheckBox4, &SysDir->FHistoryDir},
        {&CheckBox5, &SysDir->FCookiesDir},
    };
    for (const auto& [box, path] : systemFolders)
        if (box->Checked())
            targets.push_back(*path);
    for (std::wstring& entry : ListBox1.WideItems())
        targets.push_back(std::move(entry));

    TRunProgress progress;
    try {
        const int step = targets.empty() ? 0 : int(100 / targets.size());
        RunClean(progress, step, [&] {
            if (targets.empty())
                return;
            // The folders no clean may empty, opened once for the run.
            const TProtectedFolders guard;
            for (const std::wstring& target : targets) {
                progress.StopPoint();
                progress.Show(target);
                progress.Step();
                // A relative path would be entered from wherever the previous
                // target left the current directory.
                if (!IsFullPath(target))
                    throw EInOutError(ERROR_PATH_NOT_FOUND);
                EmptyCleaningTarget(target, guard, progress);
            }
        });
    } catch (...) {
        // What was deleted before the error still counts in the total.
        if (CleanedKB != 0) {
            int64_t deleted = CleanedKB;
            CleanedKB = 0;
            Guarded([this, deleted] { UpdateDel(deleted); });
        }
        throw;
    }
    // The end of the session has stored what was freed, and ends the program.
    if (SessionEnded())
        return;

    if (CleanedKB == 0) {
        lprog.SetCaption("Nothing to clean");
        lprog.SetFontColor(kMaroon);
    } else {
        lprog.SetCaption(std::to_string(CleanedKB) + "KB cleaned");
        lprog.SetFontColor(kGreen);
        UpdateDel(CleanedKB);
    }
    lprog.Repaint();
}

void TSForm::UpdateDel(int64_t kilobytes) {
    TRegistry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(kSettingsKey, false, KEY_QUERY_VALUE | KEY_SET_VALUE))
        return;
    int32_t total = WrapAdd(registry.ReadInteger("Cleaned"), kilobytes);
    StatusBar1.SetPanelText(1, FreedSpaceText(total));
    registry.WriteInteger("Cleaned", total);
}

} // namespace dv
