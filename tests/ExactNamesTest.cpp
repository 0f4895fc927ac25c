// Names that Win32's path rules rewrite (final dots and blanks, device names,
// short 8.3 forms), folder links swapped in during a run, and trees deeper than
// any full path: the clean, the scan and the removal touch exactly the entries
// chosen. The names are made from the host, which takes every one of them.
#include "PlayedVolume.h"
#include "TestSupport.h"

#include "app/Errors.h"
#include "app/LongPaths.h"
#include "clean/EmptyTree.h"

#include <malloc.h>

#include <algorithm>
#include <functional>

using dvtest::FormTest;
using dvtest::RunHostScript;
using dvtest::U8;
using dvtest::W;
using Names = std::vector<std::string>;

namespace {

// Every entry below a folder, listed by "\\?\" paths, which reach any name.
void ListExactly(const std::wstring& dir, const std::string& prefix, Names& names) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(dv::VerbatimPath(dir + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        names.push_back(prefix + U8(name));
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            ListExactly(dir + L"\\" + name, names.back() + "\\", names);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

Names Listing(const std::string& dir) {
    Names names;
    ListExactly(W(dir), "", names);
    std::sort(names.begin(), names.end());
    return names;
}

// A tree of the names Win32 confuses, each file 1 KB: files beside their twins
// with a final dot, folders with a final dot or blank, device names, a name
// beginning with two dots, and names that match a pattern by their short form;
// and a folder of more empty files than one read of a listing returns.
const char kTwinsScript[] = R"(
for f in x.tmp x.tmp. desktop.ini desktop.ini. con.txt nul ..cache keep.tmpl old.bake; do
    head -c 1024 /dev/zero > "$f"
done
mkdir d. 's '
head -c 1024 /dev/zero > d./old1.bak
head -c 1024 /dev/zero > 's /old2.bak'
mkdir many && cd many && perl -e 'for (1..1000) { open my $f, ">", "empty file $_.dat" or die }'
)";

class ExactNames : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        target_ = root_ + "\\t";
        dvtest::MakeDir(target_);
    }
    void TearDown() override {
        RunHostScript(root_, "rm -rf t canaries victim");
        FormTest::TearDown();
    }
    std::string target_;
};

class DeletedFiles : public dv::TreeEmptyingObserver {
  public:
    void FileDeleted(const std::wstring& name, uint64_t) override { Names.push_back(U8(name)); }
    ::Names Names;
};

// A walk with 32 KB of stack left, which any recursion a level would overflow
// in a chain of some hundred folders.
struct SmallStackWalk {
    dv::FileHandle Target;
    DeletedFiles Deleted;
    bool Raised = false;

    static DWORD WINAPI Run(void* data) {
        MEMORY_BASIC_INFORMATION stack{};
        VirtualQuery(&stack, &stack, sizeof stack);
        const size_t free =
            size_t(reinterpret_cast<char*>(&stack) - static_cast<char*>(stack.AllocationBase));
        volatile char* taken = static_cast<char*>(alloca(free - 32 * 1024));
        taken[0] = 0;
        static_cast<SmallStackWalk*>(data)->Walk();
        return 0;
    }

    void Walk() {
        try {
            dv::EmptyTree(Target.Get(), Deleted);
        } catch (...) {
            Raised = true;
        }
    }
};

} // namespace

TEST_F(ExactNames, TheCleanDeletesEachNameItselfAndSparesOnlyDesktopIni) {
    ASSERT_TRUE(RunHostScript(target_, kTwinsScript));
    dv::TSForm& form = Form();
    form.DelDir(W(target_), L"");
    EXPECT_EQ(Listing(target_), Names{"desktop.ini"});
    EXPECT_EQ(form.CleanedKB, 10);
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(current, target_); // the one folder entered
}

TEST_F(ExactNames, TheScanListsLongNameMatchesInEveryFolderAndTheRemovalDeletesOnlyThoseTicked) {
    ASSERT_TRUE(RunHostScript(target_, kTwinsScript));
    dv::TSForm& form = Form();
    form.ScanDir(W(target_));
    for (const char* pattern : {"*.TMP", "*.BAK", "x.*", "con.*", "nul", "*cache"})
        form.ScanFile(W(pattern));
    Names found;
    for (int i = 0; i < form.FoundFiles.Count(); ++i)
        found.push_back(U8(form.FoundFiles.Path(i)).substr(target_.size()));
    EXPECT_EQ(found, (Names{"\\..cache", "\\con.txt", "\\nul", "\\d.\\old1.bak", "\\s \\old2.bak",
                            "\\x.tmp", "\\x.tmp."}));

    for (int i = 0; i < form.FoundFiles.Count(); ++i)
        form.FoundFiles.SetTicked(i, form.FoundFiles[i].Name != L"x.tmp" &&
                                         form.FoundFiles[i].Name != L"..cache");
    form.bDeleteClick();
    Names left = Listing(target_);
    std::erase_if(left, [](const std::string& name) { return name.starts_with("many\\"); });
    EXPECT_EQ(left, (Names{"..cache", "d.", "desktop.ini", "desktop.ini.", "keep.tmpl", "many",
                           "old.bake", "s ", "x.tmp"}));
    EXPECT_EQ(form.Label9.Caption(), "Deleted: 5KB");
}

// A folder and a file swapped for links to someone else's files after their
// folder was listed: the walk finds they are not the entries listed and passes
// them over.
TEST_F(ExactNames, EntriesSwappedForLinksDuringTheCleanArePassedOver) {
    ASSERT_TRUE(RunHostScript(root_, R"(
mkdir -p canaries t/swapped t/other
for f in canaries/a canaries/b canaries/c t/swapped/s t/other/o t/f; do echo x > "$f"; done
)"));
    DeletedFiles deleted;
    bool swapped = false;
    dvtest::PlayedVolume played(target_, {}); // the real answers, to act after the listing
    played.AfterListing = [&](const std::string&) {
        if (!swapped)
            swapped =
                RunHostScript(root_, "rm -rf t/swapped t/f && ln -s \"$PWD/canaries\" t/swapped"
                                     " && ln -s \"$PWD/canaries/c\" t/f");
    };
    dv::FileHandle target = dv::OpenTarget(W(target_));
    dv::EmptyTree(target.Get(), deleted);
    ASSERT_TRUE(swapped);
    std::sort(deleted.Names.begin(), deleted.Names.end());
    EXPECT_EQ(deleted.Names, Names{"o"});
    EXPECT_EQ(Listing(root_ + "\\canaries"), (Names{"a", "b", "c"}));
    EXPECT_EQ(Listing(target_), (Names{"f", "swapped"})); // the links stay, not entered
}

// Depth costs the walk memory, never stack.
// (Wine's server resolves the whole host path of every folder it opens, at a
// cost that grows with the cube of the depth: deeper chains cost minutes.)
TEST_F(ExactNames, AChainOfNestedFoldersIsEmptiedWithoutRecursion) {
    ASSERT_TRUE(RunHostScript(target_, R"(
perl -e 'for (1..800) { mkdir "a" or die; chdir "a" or die }
          open my $f, ">", "bottom.txt" or die; print $f "\0" x 2048'
)"));
    SmallStackWalk walk{dv::OpenTarget(W(target_)), {}};
    HANDLE thread = CreateThread(nullptr, 0, SmallStackWalk::Run, &walk, 0, nullptr);
    ASSERT_TRUE(thread);
    WaitForSingleObject(thread, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeThread(thread, &exitCode);
    CloseHandle(thread);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(walk.Raised);
    EXPECT_EQ(walk.Deleted.Names, Names{"bottom.txt"});
    EXPECT_EQ(Listing(target_), Names{});
}

TEST_F(ExactNames, ATargetThatCannotBeOpenedRaisesItsErrorBeforeAnythingIsDeleted) {
    dvtest::WriteFile(target_ + "\\file", "x");
    const std::pair<std::string, unsigned long> cases[] = {
        {target_ + "\\missing", ERROR_FILE_NOT_FOUND},
        {target_ + "\\missing\\deeper", ERROR_PATH_NOT_FOUND},
        {target_ + "\\file", ERROR_DIRECTORY},
        {"", ERROR_PATH_NOT_FOUND},
    };
    for (const auto& [path, code] : cases) {
        try {
            Form().DelDir(W(path), L"");
            ADD_FAILURE() << path << " raised nothing";
        } catch (const dv::EInOutError& error) {
            EXPECT_EQ(error.ErrorCode, code) << path;
        }
    }
    EXPECT_EQ(Listing(target_), Names{"file"});
}
