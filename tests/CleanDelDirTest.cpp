// Emptying one target tree: what goes, what stays, what is counted.
#include "PlayedVolume.h"
#include "TestSupport.h"

#include "app/Errors.h"
#include "app/Strings.h"

using dvtest::FormTest;
using dvtest::TreeListing;
using dvtest::W;
using Names = std::vector<std::string>;

namespace {

void Fill(const std::string& path, size_t bytes, DWORD attributes = 0) {
    dvtest::WriteFile(path, std::string(bytes, 'x'), attributes);
}

// Holds a file open for reading and writing without delete sharing, as a
// program that uses it does.
class HeldOpen {
  public:
    explicit HeldOpen(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr)) {}
    ~HeldOpen() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

class CleanDelDir : public FormTest {
  protected:
    void TearDown() override {
        for (const std::string& link : links_)
            dvtest::RemoveDirectoryLink(link);
        FormTest::TearDown();
    }
    std::vector<std::string> links_;
};

} // namespace

TEST_F(CleanDelDir, EmptiesTreeKeepsDesktopIniAndFilesInUseAndNeverFollowsLinks) {
    const std::string target = root_ + "\\target";
    const std::string outside = root_ + "\\outside";
    dvtest::MakeDir(target + "\\ro\\inner");
    dvtest::MakeDir(target + "\\ini\\deeper");
    dvtest::MakeDir(target + "\\dir\\desktop.ini");
    dvtest::MakeDir(outside);
    Fill(outside + "\\precious.txt", 4096);

    Fill(target + "\\a.txt", 500, FILE_ATTRIBUTE_READONLY);
    Fill(target + "\\b.txt", 1500, FILE_ATTRIBUTE_HIDDEN);
    Fill(target + "\\c.sys", 3000, FILE_ATTRIBUTE_SYSTEM);
    Fill(target + "\\Desktop.INI", 2048);
    Fill(target + "\\locked.txt", 8192, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    Fill(target + "\\ro\\f1", 1024, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    Fill(target + "\\ro\\inner\\f2", 4096, FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((target + "\\ro").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((target + "\\ini").c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    Fill(target + "\\ini\\deeper\\dEsKtOp.ini", 10);
    Fill(target + "\\ini\\deeper\\g.txt", 1024);
    Fill(target + "\\dir\\desktop.ini\\h.txt", 100);
    const bool linked = dvtest::MakeDirectoryLink(target + "\\link", outside);
    if (linked)
        links_.push_back(target + "\\link");

    dvtest::PlayedVolume played(root_, {});
    played.Play("target\\ini\\deeper",
                {.Attributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED});
    HeldOpen inUse(target + "\\locked.txt");
    ASSERT_TRUE(inUse.IsOpen());
    dv::TSForm& form = Form();
    form.ListBox1.Add(target);
    form.bCleanNowClick();

    Names survivors = {"Desktop.INI", "ini", "ini\\deeper", "ini\\deeper\\dEsKtOp.ini",
                       "locked.txt"};
    if (linked)
        survivors.insert(survivors.begin() + 4, "link");
    EXPECT_EQ(TreeListing(target), survivors);
    // Each file counts on its own, truncated: 0 + 1 + 2 + 1 + 4 + 1 + 0; the file
    // in use is not counted.
    EXPECT_EQ(form.lprog.Caption(), "9KB cleaned");
    EXPECT_EQ(GetFileAttributesA((target + "\\locked.txt").c_str()) & 7, 0u);
    // A folder that stays has its attributes down to the directory bit.
    EXPECT_EQ(GetFileAttributesA((target + "\\ini").c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(played.Attributes("target\\ini\\deeper"), 0u);
    EXPECT_EQ(dvtest::ReadFile(outside + "\\precious.txt"), std::string(4096, 'x'));
    if (!linked)
        GTEST_SKIP() << "this platform makes no directory links; the rest was checked";
    const DWORD link = GetFileAttributesA((target + "\\link").c_str());
    EXPECT_TRUE(link != INVALID_FILE_ATTRIBUTES && (link & FILE_ATTRIBUTE_REPARSE_POINT));
}

TEST_F(CleanDelDir, EmptyTargetIsLeftAloneAndLabelUntouched) {
    const std::string target = root_ + "\\empty";
    dvtest::MakeDir(target);
    dv::TSForm& form = Form();
    form.lprog.SetCaption("before");
    form.CleanedKB = 5;
    form.DelDir(W(target), L"");
    EXPECT_EQ(form.lprog.Caption(), "before");
    EXPECT_EQ(form.CleanedKB, 5);
    EXPECT_TRUE(dvtest::PathExists(target));
}

TEST_F(CleanDelDir, TargetItselfStaysAndLabelShowsBareNameOfDeletedFile) {
    const std::string target = root_ + "\\t";
    dvtest::MakeDir(target + "\\sub");
    Fill(target + "\\sub\\only.bin", 2047);
    dv::TSForm& form = Form();
    form.DelDir(W(target), L"");
    EXPECT_EQ(TreeListing(target), Names{});
    EXPECT_TRUE(dvtest::PathExists(target));
    EXPECT_EQ(form.lprog.Caption(), "only.bin");
    EXPECT_EQ(form.CleanedKB, 1);
}

TEST_F(CleanDelDir, EntryNameIsJoinedToTheDirectory) {
    dvtest::MakeDir(root_ + "\\parent\\child");
    Fill(root_ + "\\parent\\child\\x", 10);
    Fill(root_ + "\\parent\\keep", 10);
    Form().DelDir(W(root_ + "\\parent"), L"child");
    EXPECT_EQ(TreeListing(root_ + "\\parent"), (Names{"child", "keep"}));
}

TEST_F(CleanDelDir, MissingOrEmptyPathRaisesBeforeAnythingIsDeleted) {
    Fill(root_ + "\\bystander", 10);
    SetCurrentDirectoryA(root_.c_str());
    dv::TSForm& form = Form();
    try {
        form.DelDir(W(root_ + "\\gone"), L"");
        ADD_FAILURE() << "no error for a missing directory";
    } catch (const dv::EInOutError& error) {
        EXPECT_EQ(error.ErrorCode, 2u);
        EXPECT_STREQ(error.what(), "File not found");
    }
    try {
        form.DelDir(L"", L"");
        ADD_FAILURE() << "no error for an empty path";
    } catch (const dv::EInOutError& error) {
        EXPECT_EQ(error.ErrorCode, 3u);
        EXPECT_STREQ(error.what(), "Invalid filename");
    }
    EXPECT_TRUE(dvtest::PathExists(root_ + "\\bystander"));
}

TEST_F(CleanDelDir, SizesUseAllSixtyFourBits) {
    EXPECT_EQ(dv::SizeToKB(dv::FileSize64(0, 0xC0000000u)), 3145728);
    EXPECT_EQ(dv::SizeToKB(dv::FileSize64(1, 1023)), 4194304);
    EXPECT_EQ(dv::SizeToKB(dv::FileSize64(0, 2047)), 1);
    EXPECT_EQ(dv::WrapAdd(2147483000, 3145728), -2144338568);
    EXPECT_EQ(dv::WrapAdd(-1, int64_t(1) << 32), -1);
}

TEST_F(CleanDelDir, FileOverFourGigabytesCountsInFullAndTotalWrapsAtThirtyTwoBits) {
    const std::string big = tempDir_ + "\\big.bin";
    {
        HANDLE file =
            CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD sparseBytes = 0;
        DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &sparseBytes, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = (int64_t(4) << 30) + (1 << 20); // the high 32 bits count too
        const bool sized = SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file);
        CloseHandle(file);
        if (!sized)
            GTEST_SKIP() << "no cheap 4 GiB file here";
    }
    dvtest::SetSettingsDword("Cleaned", 2147483000);
    dv::TSForm& form = Form();
    form.CheckBox1.SetChecked(true);
    form.bCleanNowClick();
    EXPECT_FALSE(dvtest::PathExists(big));
    EXPECT_EQ(form.lprog.Caption(), "4195328KB cleaned");
    EXPECT_EQ(dvtest::SettingsDword("Cleaned"), DWORD(-2143288968));
    EXPECT_EQ(form.StatusBar1.PanelText(1), "-2143288.9MB");
}

// Names the ANSI code page cannot spell, and a tree deeper than MAX_PATH,
// under a user directory: all emptied and counted, with no error, and the
// next run finds nothing. The list file is read and left as it was.
TEST_F(CleanDelDir, NamesOfEveryScriptAndTreesPastMaxPathAreEmptied) {
    const std::string target = root_ + "\\target";
    const Names names = {"日本語.txt", "Кириллица.log", "emoji 😀.tmp", "café.txt"};
    std::string deep = target + "\\deep";
    for (int level = 0; deep.size() < 600; ++level)
        deep += level == 3 ? "\\ünïcode 深い" : "\\" + std::string(60, char('a' + level));
    dvtest::MakeDir(deep);
    for (const std::string& name : names) {
        const std::string nested = target + "\\sub日本\\Вложенная " + name;
        dvtest::MakeDir(nested);
        Fill(target + "\\" + name, 2048);
        Fill(nested + "\\" + name, 1024);
    }
    Fill(deep + "\\deepest 深.bin", 3072);
    const std::string listFile = dvtest::ProgramDirectory() + "dv.ini";
    dvtest::WriteFile(listFile, target + "\r\n");

    dv::TSForm& form = Form();
    form.DelDir(W(target + "\\sub日本"), L"Вложенная café.txt");
    EXPECT_EQ(form.lprog.WideCaption(), W("café.txt")); // the real name is shown
    form.CleanedKB = 0;
    form.bCleanNowClick();
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
    EXPECT_EQ(TreeListing(target), Names{});
    EXPECT_EQ(form.lprog.Caption(), std::to_string(4 * 2 + 3 * 1 + 3) + "KB cleaned");
    form.bCleanNowClick();
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
    EXPECT_EQ(form.lprog.Caption(), "Nothing to clean");
    EXPECT_EQ(dvtest::ReadFile(listFile), target + "\r\n");
}
