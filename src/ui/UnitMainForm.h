#pragma once
// The main window: four pages (Clean, Scan, Info, Exit), a status bar and two
// context menus. Every operation of the program is a method of this class; the
// methods live beside the work they do (clean/, scan/, settings/, app/).
#include "app/FoundFiles.h"
#include "app/ScanRecord.h"
#include "ui/Controls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

class TSysDir;
class TRegistry;
class TRunProgress;
struct RunState;
namespace ui {
class TWorkerRun;
}

enum class TWindowState { wsNormal, wsMinimized };

class TSForm : public ui::TWindow {
  public:
    // Creates the window and its controls in their designed state, then runs
    // FormCreate; nothing is shown yet.
    TSForm();
    ~TSForm() override;

    // ---- controls ----
    ui::TImageList ImageList1;
    ui::TPageControl PageControl1;
    ui::TContainer* TabClean = nullptr;
    ui::TContainer* TabScan = nullptr;
    ui::TContainer* TabAbout = nullptr;
    ui::TContainer* TabExit = nullptr;

    // Clean page
    ui::TGroupBox GroupBox1;
    ui::TCheckBox CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5;
    ui::TLabel lStatus, lprog;
    ui::TProgressBar ProgressBar1;
    ui::TButton bCleanNow;
    ui::TCheckBox CheckBoot;
    ui::TGroupBox GroupBox2;
    ui::TListBox ListBox1;
    ui::TButton ButtonBrowse, ButtonRemove, ButtonSave;

    // Scan page
    ui::TLabel Label5, Label7;
    ui::TCheckListBox cDisks, cExt;
    ui::TButton bScan, bDelete, bSelAll, bClearAll;
    ui::TLabel Label9;
    ui::TProgressBar ProgressBar2;
    ui::TOwnerDataList ListFiles;
    // The scan's working record of the folders it walked and the matches it
    // kept; not a window.
    TScanRecord ListTmp;

    // Info page
    ui::TLabel Image1, Label1, Label2, Bevel1, Label3, Label10;
    ui::TGroupBox GroupBox3;
    ui::TLabel Label4, Email, Label8, HTTP;
    ui::TButton Button6;

    ui::TStatusBar StatusBar1;
    ui::TPopupMenu PopupMenu1, PopupMenu2;

    // ---- state ----
    std::unique_ptr<TSysDir> SysDir;
    // The found files that ListFiles shows, in its order.
    TFoundFiles FoundFiles;
    TWindowState WindowState = TWindowState::wsNormal;
    // Kilobytes deleted by the running clean, and listed by the current scan.
    int64_t CleanedKB = 0;
    int64_t FoundKB = 0;

    // ---- cleaning targets ----
    void ButtonBrowseClick();
    void ButtonRemoveClick();
    void ButtonSaveClick();
    void ListBox1Click();
    // Raises an error when start-up could not create SysDir.
    void RequireSysDir() const;
    // ---- emptying and the clean run ----
    // Empties a tree; its names are carried as the disk gives them (UTF-16).
    // Refuses a folder that no clean may empty, judged by the folder its open
    // reached.
    void DelDir(const std::wstring& directory, const std::wstring& name);
    void bCleanNowClick();
    void UpdateDel(int64_t kilobytes);
    // Whether the session ended during a run, which then stored what it had
    // freed and ends the program.
    bool SessionEnded() const { return sessionEnded_; }

    // ---- file-type and drive lists ----
    void LoadExtList();
    void SaveExtList();
    void TabScanInit();
    void cExtClick();
    void selectClick();
    void deselectClick();
    void AddClick();
    void RemoveClick();
    // ---- scan and removal ----
    void bScanClick();
    void ScanDir(const std::wstring& dir);
    void ScanFile(const std::wstring& pattern);
    void bDeleteClick();
    void bSelAllClick();
    void bClearAllClick();
    void ListFilesSelectItem(int index, bool selected);
    // A tick of ListFiles changed (by mouse, keyboard or another program).
    void ListFilesCheck(int index, bool ticked);

    // ---- settings and start-up ----
    bool CheckRegInit(TRegistry& registry);
    void InitOptions(TRegistry& registry);
    void ReadOptions(TRegistry& registry);
    void CheckClick(ui::TCheckBox& sender);
    void FormCreate();
    void FormShow();
    void CheckBootClick();

    // ---- window ----
    void Button6Click();
    void SendEmail();
    void HTTPClick();
    // Shows the help pop-up for a control at its screen position.
    void ShowContextHelp(HWND control);
    // Shows the window as the message loop does at start, running FormShow.
    void Show();
    void Close();
    // Keys handled before dialog navigation: Enter for the default button of the
    // page in view, F1 for context help.
    bool PreTranslateKey(MSG& msg);

    // The default button of the page in view, or null.
    ui::TButton* DefaultButton();

    // Lays the whole window out for a DPI: pictures, pages, controls, menus.
    // The window's own size is the caller's (WM_DPICHANGED brings it).
    void ScaleTo(int dpi) override;

  private:
    void CreateWindowHandle();
    // The window's outer size for its client area at its DPI.
    SIZE FrameSize() const;
    void CreateCleanPage();
    void CreateScanPage();
    void CreateInfoPage();
    void CreateMenus();
    void WireEvents();
    void ShowAutoHint(ui::TControl* control);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool shown_ = false;
    ui::TControl* hintControl_ = nullptr;
    std::wstring hintText_;

    // ---- runs: the file work of the clean and the removal on a worker ----
    // The run in progress, for the end of the session.
    struct ActiveRun {
        TRunProgress* Progress = nullptr;
        ui::TWorkerRun* Worker = nullptr;
        // Kilobytes freed before the run's progress began to count.
        int64_t FreedBefore = 0;
    };
    ActiveRun run_;
    bool sessionEnded_ = false;
    // Runs work on a worker while the window shows its progress and holds
    // every input for the run's end.
    void RunWork(TRunProgress& progress, int64_t freedBefore, const std::function<void()>& work,
                 const std::function<void()>& showProgress);
    // The clean's showing: lprog, the bar by step a target, CleanedKB.
    void RunClean(TRunProgress& progress, int step, const std::function<void()>& work);
    // The removal's showing: the status bar and ProgressBar2.
    void RunRemoval(TRunProgress& progress, const std::function<void()>& work);
    // The session ends during a run: it stops after the entry in hand, what
    // it freed is stored, and the program ends.
    void EndSession();

    // ---- scan bookkeeping ----
    // Whether a scan is running; a second one is not started inside its pump.
    bool scanning_ = false;
    // The pattern pass's place in cExt: the next entry and the end of the entries
    // counted when it started; RemoveClick keeps both right.
    int patternNext_ = 0;
    int patternEnd_ = 0;
    // Tells a scan that pumps messages whether the form is still there.
    struct LifeFlag {
        std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
        ~LifeFlag() { *Alive = false; }
    };
    LifeFlag life_;

    // The designed contents of cExt.
    void FillDefaultPatterns();
    // The pattern pass's two ways to a pattern's matches: those the directory
    // pass kept, or, for a pattern it did not know, a listing of every recorded
    // folder.
    void ListKeptMatches(size_t pattern);
    void SearchRecordedFolders(const std::wstring& pattern);
    // Lists a match of a recorded folder and hands on the IDs of the folders
    // on its way.
    void ListFoundFile(std::wstring_view name, uint32_t folder, uint64_t size,
                       const FileId& listedId, int64_t lastWrite);
    // The found-file store's folder for a recorded one, added when new.
    uint32_t StoreFolder(uint32_t folder);
    void HandOnFolderIds(uint32_t folder);
    // Puts a found file of a store's folder at its place by name; false when
    // it is listed already.
    bool InsertFoundFile(std::wstring_view name, uint32_t folder, int64_t kilobytes,
                         const FileId& fileId, int64_t lastWrite);
    void ClearFoundFiles();
    // Shows the store's number of items in ListFiles, and when it last did.
    void ShowFoundFileCount();
    DWORD countShownAt_ = 0;
    // Takes the items at these positions (ascending) out of the store and the view.
    void RemoveFoundItems(const std::vector<int>& positions);
    void TickAllFoundFiles(bool ticked);

    // What ListFiles shows in a column of an item.
    std::wstring FoundFileText(int index, int column) const;
    bool FoundFileTicked(int index) const;
    // The scan's message pump; raises EScanStopped when the window has gone.
    void PumpScanMessages();
    // The scan's file work on a worker while the window pumps its messages;
    // raises EScanStopped when the window has gone.
    void RunScanWork(TRunProgress& progress, const std::function<void()>& work,
                     const std::function<void(const RunState&)>& showProgress);
};

// The one main window of the process.
extern TSForm* SForm;

// The maker's addresses, shown on the Info page.
extern const char* const kMakerEmail;
extern const char* const kMakerWeb;

} // namespace dv
