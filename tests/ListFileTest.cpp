// The plain-text list files: line ends as read and as written, and saving
// that never leaves a half-written list.
#include "TestSupport.h"

#include "app/Errors.h"
#include "app/TextListFile.h"

using Names = std::vector<std::string>;

TEST(ListFile, LinesEndAtCrLfOrCrLfAndANulEndsTheText) {
    using namespace std::string_literals;
    const std::pair<std::string, Names> cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"a\0b\r\nc"s, {"a"}},
        {"a\r\n\0b"s, {"a"}},
        {" C:\\x \t\r\n", {" C:\\x \t"}},
    };
    for (const auto& [text, lines] : cases)
        EXPECT_EQ(dv::ParseTextList(text), lines) << '"' << text << '"';
}

TEST(ListFile, EveryLineIsWrittenWithCrLfTheLastOneToo) {
    EXPECT_EQ(dv::FormatTextList({}), "");
    EXPECT_EQ(dv::FormatTextList({"a", "", "b"}), "a\r\n\r\nb\r\n");
    const Names lines = {"C:\\x", "", "D:\\y z"};
    EXPECT_EQ(dv::ParseTextList(dv::FormatTextList(lines)), lines);
}

TEST(ListFile, SaveReplacesTheWholeFileAndLoadReadsItBack) {
    const std::string file = dvtest::ScratchDir() + "\\list.ini";
    dvtest::WriteFile(file, "old one\r\nold two\r\nold three\r\n");
    const Names lines = {"new", std::string(70000, 'x'), "last"}; // more than one read
    dv::SaveTextList(dvtest::W(file), lines);
    EXPECT_EQ(dvtest::ReadFile(file), "new\r\n" + lines[1] + "\r\nlast\r\n");
    EXPECT_EQ(dv::LoadTextList(dvtest::W(file)), lines);
    EXPECT_FALSE(dvtest::PathExists(file + ".new"));
}

TEST(ListFile, FailedSaveRaisesCannotCreateAndKeepsTheEarlierFile) {
    const std::string dir = dvtest::ScratchDir();
    const std::string file = dir + "\\list.ini";
    auto expectCannotCreate = [&](const std::string& path) {
        try {
            dv::SaveTextList(dvtest::W(path), {"new"});
            ADD_FAILURE() << "saved " << path;
        } catch (const dv::EFCreateError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file " + path);
        }
    };

    dvtest::WriteFile(file, "earlier\r\n", FILE_ATTRIBUTE_READONLY);
    expectCannotCreate(file);
    EXPECT_EQ(dvtest::ReadFile(file), "earlier\r\n");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);

    dvtest::MakeDir(file + ".new");
    expectCannotCreate(file);
    EXPECT_EQ(dvtest::ReadFile(file), "earlier\r\n");
    RemoveDirectoryA((file + ".new").c_str());

    expectCannotCreate(dir + "\\no such folder\\list.ini");
    dvtest::RemoveTree(dir);
}

TEST(ListFile, LoadOfAFileHeldWithoutSharingRaisesCannotOpen) {
    const std::string dir = dvtest::ScratchDir();
    const std::string file = dir + "\\list.ini";
    dvtest::WriteFile(file, "a\r\n");
    HANDLE lock = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_THROW(
        {
            try {
                dv::LoadTextList(dvtest::W(file));
            } catch (const dv::EFOpenError& error) {
                EXPECT_EQ(std::string(error.what()), "Cannot open file " + file);
                throw;
            }
        },
        dv::EFOpenError);
    CloseHandle(lock);
    dvtest::RemoveTree(dir);
}
