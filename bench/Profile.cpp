// Timing by phase: the calls an operation makes on the real window's
// controls, repeated as the operation repeats them and timed kind by kind.
#include "Bench.h"
#include "Commands.h"
#include "FormSetup.h"

#include "app/Application.h"
#include "app/NtFiles.h"
#include "app/Strings.h"
#include "scan/ListingMatch.h"

#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <map>

namespace dvbench {

namespace {

// Seconds spent per phase, reported in the order the phases first ran.
class Phases {
  public:
    template <class Step> auto Time(const std::string& phase, Step&& step) {
        struct Add {
            Phases& phases;
            const std::string& phase;
            Stopwatch clock;
            ~Add() { phases.Add(phase, clock.Seconds()); }
        } add{*this, phase, {}};
        return step();
    }
    void Add(const std::string& phase, double seconds) {
        if (!totals_.count(phase))
            order_.push_back(phase);
        totals_[phase] += seconds;
    }
    // Totals in seconds, or microseconds per call when calls is given.
    void Print(Report& report, int calls = 0) const {
        for (const std::string& phase : order_)
            report.Add(phase, calls ? totals_.at(phase) * 1e6 / calls : totals_.at(phase));
    }

  private:
    std::vector<std::string> order_;
    std::map<std::string, double> totals_;
};

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// A hidden window that has scanned the drive with every default pattern.
std::unique_ptr<dv::TSForm> ScannedForm(const std::string& drive) {
    RequireBenchPath(drive);
    auto form = MakeForm(false, 1);
    SelectDrive(*form, drive);
    TickPatterns(*form);
    form->bScanClick();
    return form;
}

// A scanned form and its drive's root, opened by path (not timed), with what
// the volume answers.
struct ScannedDrive {
    explicit ScannedDrive(const std::string& drive) : Form(ScannedForm(drive)) {
        dv::OpenFolderByPath(dv::AnsiToWide("\\\\?\\" + drive + "\\"), Root);
        Answers = dv::Volume::Of(Root.Get());
    }
    std::unique_ptr<dv::TSForm> Form;
    dv::FileHandle Root;
    dv::Volume Answers;
};

} // namespace

void ProfileCalls(const std::string& drive) {
    auto form = ScannedForm(drive);
    const int n = form->ListFiles.Count();
    HWND list = form->ListFiles.Handle();
    // A plain list view of the same kind.
    HWND plain =
        CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 10, 10,
                        form->TabScan->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    Phases phases;
    for (int i = 0; i < n; ++i) {
        phases.Time("plain_list_null", [&] { return SendMessageA(plain, WM_NULL, 0, 0); });
        phases.Time("list_null", [&] { return SendMessageA(list, WM_NULL, 0, 0); });
        phases.Time("get_prop", [&] { return GetPropA(list, "DvControl"); });
        phases.Time("get_user_data", [&] { return GetWindowLongPtrA(list, GWLP_USERDATA); });
        phases.Time("item_checked", [&] { return form->ListFiles.Checked(i); });
        phases.Time("item_text", [&] { return form->ListFiles.ItemText(i, 0); });
        phases.Time("item_set_checked", [&] { form->ListFiles.SetChecked(i, true); });
        phases.Time("panel_text", [&] { form->StatusBar1.SetPanelText(0, std::to_string(i)); });
        phases.Time("panel_repaint", [&] { form->StatusBar1.Repaint(); });
        phases.Time("bar_step", [&] { form->ProgressBar2.StepIt(); });
        phases.Time("bar_repaint", [&] { form->ProgressBar2.Repaint(); });
        phases.Time("label_caption", [&] { form->Label9.SetCaption(std::to_string(i)); });
        phases.Time("label_repaint", [&] { form->Label9.Repaint(); });
        phases.Time("empty_pump", PumpMessages);
        phases.Time("is_visible", [&] { return IsWindowVisible(list); });
    }
    Report report;
    report.Add("calls", int64_t(n));
    phases.Print(report, n);
}

void ProfileCleanLabel(int files, bool visible) {
    auto form = MakeForm(visible, 0);
    Phases phases;
    for (int i = 0; i < files; ++i) {
        const std::string name = "n" + std::to_string(100000 + i) + ".dat";
        phases.Time("caption", [&] { form->lprog.SetCaption(name); });
        phases.Time("repaint", [&] { form->lprog.Repaint(); });
    }
    Report report;
    report.Add("files", int64_t(files));
    phases.Print(report);
}

void ProfileRemove(const std::string& drive, bool visible) {
    RequireBenchPath(drive);
    auto form = MakeForm(visible, 1);
    SelectDrive(*form, drive);
    TickPatterns(*form);
    Phases phases;
    phases.Time("scan", [&] { form->bScanClick(); });
    phases.Time("select_all", [&] { form->bSelAllClick(); });
    dv::TFoundFiles& found = form->FoundFiles;
    const int count = found.Count();
    form->ProgressBar2.SetRange(0, count);
    form->ProgressBar2.SetStep(1);
    form->ProgressBar2.SetVisible(true);
    std::vector<int> ticked;
    for (int i = 0; i < count; ++i) {
        if (!phases.Time("ticked", [&] { return found[i].Ticked; }))
            continue;
        const std::wstring path = phases.Time("path", [&] { return found.Path(i); });
        phases.Time("panel_text", [&] { form->StatusBar1.SetPanelText(0, path); });
        phases.Time("panel_repaint", [&] { form->StatusBar1.Repaint(); });
        phases.Time("delete", [&] { return DeleteFileW(path.c_str()); });
        phases.Time("size", [&] { return found[i].KB; });
        ticked.push_back(i);
        phases.Time("bar_step", [&] { form->ProgressBar2.StepIt(); });
        phases.Time("bar_repaint", [&] { form->ProgressBar2.Repaint(); });
    }
    phases.Time("store_remove", [&] { found.Remove(ticked); });
    // What the removal does with the view: shows the store's new count.
    phases.Time("view_count", [&] {
        form->ListFiles.SetCount(found.Count());
        form->ListFiles.Refresh();
    });
    Report report;
    report.Add("items", int64_t(count));
    phases.Print(report);
}

// The removal's own file calls, step by step, as it makes them where the
// file's ID is known: the drive's root opened once by path (not timed), then
// each file opened from it by the rest of its path in one call, the path it
// reached and its identity read in as few queries as the volume allows, the file deleted through
// its handle and closed.
void ProfileRemoveSteps(const std::string& drive) {
    ScannedDrive scanned(drive);
    dv::TFoundFiles& found = scanned.Form->FoundFiles;
    const int count = found.Count();
    const dv::FileHandle& root = scanned.Root;
    dv::Volume& volume = scanned.Answers;
    Phases phases;
    int deleted = 0;
    for (int i = 0; i < count; ++i) {
        const std::wstring below = found.Path(i).substr(drive.size() + 1);
        dv::FileHandle file;
        if (phases.Time("open", [&] {
                return dv::OpenFileBelow(root.Get(), below, dv::OpenFor::Deletion, file);
            }) < 0)
            continue;
        phases.Time("identity", [&] {
            return dv::MatchRecordedFile(volume, file.Get(), found[i].Id, found[i].LastWrite,
                                         L"\\" + below);
        });
        deleted += phases.Time("dispose", [&] { return dv::DeleteByHandle(volume, file.Get()); });
        phases.Time("close", [&] { file.Close(); });
    }
    Report report;
    report.Add("items", int64_t(count)).Add("deleted", int64_t(deleted));
    phases.Print(report, count);
}

// What each of the removal's file calls costs beside the floor's, on every
// fifth file each: the floor's DeleteFileW by full path; the same split into
// an open with delete-on-close and its close; the removal's own calls (the
// one query of path, ID and time); the ID and time alone, without the path;
// the object's name alone, which Wine answers without handing over the file.
void ProfileRemoveCalls(const std::string& drive) {
    ScannedDrive scanned(drive);
    dv::TFoundFiles& found = scanned.Form->FoundFiles;
    const int count = found.Count();
    const dv::FileHandle& root = scanned.Root;
    dv::Volume& volume = scanned.Answers;
    using QueryObject = NTSTATUS(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto queryObject = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    Phases phases;
    for (int i = 0; i < count; ++i) {
        const int variant = i % 5;
        const std::wstring below = found.Path(i).substr(drive.size() + 1);
        static const char* const kinds[] = {"floor_", "floor_split_", "removal_", "no_path_",
                                            "object_name_"};
        const std::string v = kinds[variant];
        if (variant == 0) {
            const std::wstring full = L"\\\\?\\" + found.Path(i);
            phases.Time(v + "delete_file", [&] { return DeleteFileW(full.c_str()); });
            continue;
        }
        HANDLE h = nullptr;
        const ULONG options = FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT |
                              FILE_NON_DIRECTORY_FILE | (variant == 1 ? FILE_DELETE_ON_CLOSE : 0);
        if (phases.Time(v + "open", [&] {
                return dv::Nt().Open(root.Get(), below, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                     options, dv::kDontReparse, h);
            }) < 0)
            continue;
        if (variant == 2) {
            phases.Time(v + "all", [&] {
                return dv::MatchRecordedFile(volume, h, found[i].Id, found[i].LastWrite,
                                             L"\\" + below);
            });
        } else if (variant == 3) {
            phases.Time(v + "internal", [&] {
                LARGE_INTEGER id{};
                return dv::Nt().QueryInformation(h, &id, sizeof id, dv::FileClass::Internal);
            });
            phases.Time(v + "basic", [&] {
                FILE_BASIC_INFO basic{};
                return dv::Nt().QueryInformation(h, &basic, sizeof basic, dv::FileClass::Basic);
            });
        } else if (variant == 4) {
            phases.Time(v + "name", [&] {
                char buffer[1024];
                ULONG got = 0;
                return queryObject(h, 1, buffer, sizeof buffer, &got);
            });
            phases.Time(v + "all", [&] {
                return dv::MatchRecordedFile(volume, h, found[i].Id, found[i].LastWrite, L"");
            });
        }
        if (variant != 1)
            phases.Time(v + "dispose", [&] { return dv::DeleteByHandle(volume, h); });
        phases.Time(v + "close", [&] { return CloseHandle(h); });
    }
    Report report;
    report.Add("items", int64_t(count));
    phases.Print(report, count / 5);
}

// The scan's walk, step by step, as the program makes it: each folder opened
// relative to its parent, checked against the listing, listed, its files
// matched against the 19 default patterns; "Scanning: <n>" shown and the pump
// run after each listing. The check makes the first request on a folder's
// handle, so it bears the cost that the listing bears in the floor.
void ProfileWalkSteps(const std::string& drive) {
    RequireBenchPath(drive);
    auto form = MakeForm(false, 1);
    std::vector<std::wstring> patterns;
    for (int i = 0; i < form->cExt.Count(); ++i)
        patterns.push_back(dv::AnsiToWide(form->cExt.Item(i)));
    dv::TListingMatcher matcher(patterns);
    dv::TScanRecord record;
    Phases phases;
    int folders = 0;
    dv::FileHandle root;
    dv::OpenFolderByPath(dv::AnsiToWide("\\\\?\\" + drive + "\\"), root);
    dv::Volume volume = dv::Volume::Of(root.Get());
    std::vector<dv::ListedEntry> entries;
    const std::function<void(HANDLE)> walk = [&](HANDLE folder) {
        phases.Time("listing", [&] { return dv::ReadListing(volume, folder, entries); });
        ++folders;
        phases.Time("match", [&] { matcher.KeepMatches(record, 0, entries); });
        phases.Time("label", [&] {
            form->Label9.SetCaption("Scanning: " + std::to_string(folders));
            form->Label9.Repaint();
        });
        phases.Time("pump", [&] { dv::Application.ProcessMessages(); });
        std::vector<dv::ListedEntry> below;
        phases.Time("below", [&] {
            for (const dv::ListedEntry& entry : entries)
                if (entry.IsDirectory() && !entry.IsLink())
                    below.push_back(entry);
        });
        for (const dv::ListedEntry& entry : below) {
            dv::FileHandle opened;
            if (phases.Time("open", [&] {
                    return dv::OpenEntry(folder, entry.Name, true, dv::OpenFor::Listing, opened);
                }) != 0)
                continue;
            if (phases.Time("check",
                            [&] { return dv::IsListedEntry(volume, opened.Get(), entry); }))
                walk(opened.Get());
            phases.Time("close", [&] { opened.Close(); });
        }
    };
    record.SetPatterns(patterns);
    record.AddFolder(dv::TFolderTable::kNone, dv::AnsiToWide(drive), {}, false);
    walk(root.Get());
    Report report;
    report.Add("folders", int64_t(folders));
    phases.Print(report, folders);
}

void ProfileInsert(const std::string& drive, bool visible) {
    RequireBenchPath(drive);
    auto form = MakeForm(visible, 1);
    std::vector<std::pair<std::wstring, std::wstring>> found;
    WalkFiles(drive, [&](const std::string& dir, const WIN32_FIND_DATAA& entry) {
        if (IsGeneratedMatch(entry.cFileName)) {
            const std::string name = entry.cFileName;
            found.emplace_back(std::wstring(dir.begin(), dir.end()),
                               std::wstring(name.begin(), name.end()));
        }
    });
    // Every tick notification the view sends, counted on the way to the form.
    int notifications = 0;
    auto onCheck = form->ListFiles.OnCheck;
    form->ListFiles.OnCheck = [&](int index, bool checked) {
        ++notifications;
        if (onCheck)
            onCheck(index, checked);
    };
    const Memory before = ProcessMemory();
    Phases phases;
    for (const auto& [dir, name] : found) {
        const int position =
            phases.Time("store_insert", [&] { return form->FoundFiles.Insert(name, dir, 1); });
        if (position >= 0)
            phases.Time("view_insert",
                        [&] { form->ListFiles.Inserted(position, form->FoundFiles.Count()); });
        phases.Time("pump", PumpMessages);
    }
    const Memory after = ProcessMemory();
    const int insertNotifications = notifications;
    phases.Time("select_all_store", [&] { form->FoundFiles.SetAllTicked(true); });
    notifications = 0;
    phases.Time("select_all_view", [&] { form->ListFiles.SetChecked(-1, true); });
    const int selectNotifications = notifications;
    phases.Time("unselect_all", [&] { form->bClearAllClick(); });
    phases.Time("select_all_click", [&] { form->bSelAllClick(); });
    // What the store alone takes: a second one with the same files, while the
    // first and the view are still there (so no freed memory is reused).
    const Memory beforeStore = ProcessMemory();
    dv::TFoundFiles storeAlone;
    phases.Time("store_alone_insert", [&] {
        for (const auto& [dir, name] : found)
            storeAlone.Insert(name, dir, 1);
    });
    const Memory afterStore = ProcessMemory();
    Report report;
    report.Add("items", int64_t(form->ListFiles.Count()));
    phases.Print(report);
    report.Add("insert_notifications", int64_t(insertNotifications))
        .Add("select_all_notifications", int64_t(selectNotifications))
        .Add("ws_before", before.WorkingSet)
        .Add("ws_after", after.WorkingSet)
        .Add("peak_ws", after.PeakWorkingSet)
        .Add("store_alone_ws", afterStore.WorkingSet - beforeStore.WorkingSet);
}

// The scan's pattern pass, step by step, as the program makes it after its
// walk over the drive with every default pattern: per match, the kept file's
// name and its folder's number in the store, the store's insertion, the view told,
// the count when it is due, the folders' IDs handed on and a round of the
// pump; per pattern, Label9 and the list shown.
void ProfileMatchSteps(const std::string& drive, bool visible) {
    RequireBenchPath(drive);
    auto form = MakeForm(visible, 1);
    std::vector<std::wstring> patterns;
    for (int i = 0; i < form->cExt.Count(); ++i)
        patterns.push_back(dv::AnsiToWide(form->cExt.Item(i)));
    dv::TScanRecord& record = form->ListTmp;
    record.SetPatterns(patterns);
    Phases phases;
    phases.Time("walk", [&] { form->ScanDir(dv::AnsiToWide(drive)); });
    dv::TFoundFiles& found = form->FoundFiles;
    const dv::TFolderTable& folders = record.Folders();
    // The store's folder for a recorded one, added with those above it when new.
    const auto storeFolder = [&](uint32_t folder) {
        for (;;) {
            if (record.StoreFolder(folder) != dv::TFolderTable::kNone)
                return record.StoreFolder(folder);
            uint32_t missing = folder, parent = folders.Parent(folder);
            while (parent != dv::TFolderTable::kNone &&
                   record.StoreFolder(parent) == dv::TFolderTable::kNone) {
                missing = parent;
                parent = folders.Parent(parent);
            }
            const uint32_t above =
                parent == dv::TFolderTable::kNone ? parent : record.StoreFolder(parent);
            record.SetStoreFolder(missing, found.AddFolder(above, folders.Name(missing)));
        }
    };
    DWORD countShownAt = GetTickCount();
    int matches = 0;
    for (size_t p = 0; p < patterns.size(); ++p) {
        phases.Time("pattern_label", [&] {
            form->Label9.SetCaption("Searching...");
            form->Label9.Repaint();
        });
        for (uint32_t index : record.Kept(p)) {
            const dv::KeptFile& file = record.File(index);
            const uint32_t folder = file.Folder;
            std::wstring_view name;
            const uint32_t stored = phases.Time("kept_file", [&] {
                name = record.FileName(index);
                return storeFolder(folder);
            });
            const int position = phases.Time("store_insert", [&] {
                return found.Insert(name, stored, dv::SizeToKB(file.Size),
                                    record.ComparableId(folder, file.Id()), file.LastWrite);
            });
            if (position >= 0) {
                ++matches;
                phases.Time("view_insert",
                            [&] { form->ListFiles.Inserted(position, found.Count()); });
                phases.Time("count", [&] {
                    if (GetTickCount() - countShownAt >= 250) {
                        countShownAt = GetTickCount();
                        form->ListFiles.Grown(found.Count());
                    }
                });
                phases.Time("folder_ids", [&] {
                    for (uint32_t f = folder;
                         folders.Parent(f) != dv::TFolderTable::kNone && record.HandOnId(f);
                         f = folders.Parent(f))
                        found.SetFolderId(
                            storeFolder(f),
                            record.ComparableId(f, folders.Id(f).value_or(dv::FileId{})));
                });
            }
            phases.Time("pump", [&] {
                dv::Application.ProcessMessages();
                return IsWindow(form->Handle());
            });
        }
        phases.Time("pattern_output", [&] {
            if (form->ListFiles.Count() != found.Count())
                form->ListFiles.Grown(found.Count());
            form->ListFiles.Repaint();
            form->Label9.SetCaption("Found: " + std::to_string(found.Count()));
        });
    }
    Report report;
    report.Add("matches", int64_t(matches));
    phases.Print(report, matches);
}

} // namespace dvbench
