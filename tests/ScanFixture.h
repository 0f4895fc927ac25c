#pragma once
// The scan's fixture: a drive letter of its own (S:) that leads into the
// test's scratch folder, files made below it, and what ListFiles shows.
#include "TestSupport.h"
#include "scan/Unit1.h"

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace dvtest {

inline constexpr char kScanDrive[] = "S:";

// A path below the scan drive, as the program names it.
std::string At(const std::string& relative);

bool WaitUntil(const std::function<bool()>& done);
// Makes a drive letter of the prefix lead to a folder, and forgets it again.
bool MapDrive(const std::string& drive, const std::string& target);
void UnmapDrive(const std::string& drive);

using Item = std::tuple<std::string, std::string, std::string>; // name, directory, KB

// The ID the volume gives a file or folder (64 bits: Wine lists no others).
dv::FileId VolumeId(const std::string& path);
// The folders right below one, in the order the platform lists them.
std::vector<std::string> ListedFolders(const std::string& dir);

// What ListFiles shows, row by row, read from the view alone.
std::vector<Item> Items(const dv::TSForm& form);
std::vector<Item> Sorted(std::vector<Item> items);
// The names ListFiles shows, in its order.
std::vector<std::string> Names(const dv::TSForm& form);
// The names of the ticked items the view shows, in its order.
std::vector<std::string> ShownTicks(const dv::TSForm& form);
// The names of the files the store holds ticked, in its order.
std::vector<std::string> StoredTicks(const dv::TSForm& form);

// Records every text a control (or a status bar panel) is given, and can act
// on it at that moment.
class TextRecorder {
  public:
    explicit TextRecorder(const dv::ui::TControl& control);
    ~TextRecorder();
    TextRecorder(const TextRecorder&) = delete;
    TextRecorder& operator=(const TextRecorder&) = delete;

    std::vector<std::string> Texts;
    std::function<void(const std::string&)> OnText;
    long Count(const std::string& text) const;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data);
    HWND hwnd_;
};

// Runs an action from the next message pump, as a queued message would.
class QueuedAction {
  public:
    explicit QueuedAction(std::function<void()> action);
    ~QueuedAction();
    QueuedAction(const QueuedAction&) = delete;
    QueuedAction& operator=(const QueuedAction&) = delete;
    bool Ran = false;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data);
    std::function<void()> action_;
    HWND hwnd_;
};

// Adds a pattern, ticked, as the walk reports its first folder: after the walk
// took the patterns, so the pattern pass lists the folders again. AtSearch
// runs as the pattern pass starts.
class PatternAddedDuringScan {
  public:
    PatternAddedDuringScan(dv::TSForm& form, const std::string& pattern);
    std::function<void()> AtSearch;

  private:
    dv::TAddExt addExt_;
    TextRecorder label_;
};

class ScanTest : public FormTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The form with only the test's drive and the given patterns, all ticked.
    dv::TSForm& ScanForm(const std::vector<std::string>& patterns);
    void SetPatterns(const std::vector<std::string>& patterns);
    // A file of the given size below the drive (relative path), directories made.
    std::string File(const std::string& relative, size_t bytes, DWORD attributes = 0);
    bool Link(const std::string& link, const std::string& target);
    void ExpectButtonsEnabled(bool enabled);
    int64_t Cleaned();

    std::string drive_;
    std::vector<std::string> links_;
};

class RemovalTest : public ScanTest {
  protected:
    // Scans for the given files (relative paths, sizes) and returns the form.
    dv::TSForm& Found(const std::vector<std::pair<std::string, size_t>>& files,
                      const std::string& pattern = "*.tmp");
    void Tick(std::initializer_list<int> positions);
};

} // namespace dvtest
