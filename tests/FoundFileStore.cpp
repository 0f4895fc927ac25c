// The found-file store on its own: its order, each file once, and the search
// that typed letters start.
#include "app/FoundFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

TEST(FoundFiles, KeepsEqualNamesInTheOrderAddedAndEachFileOnce) {
    dv::TFoundFiles files;
    EXPECT_EQ(files.Insert(L"x", L"C:\\one", 1), 0);
    EXPECT_EQ(files.Insert(L"y", L"C:\\one", 1), 1);
    EXPECT_EQ(files.Insert(L"x", L"C:\\two", 2), 1);
    EXPECT_EQ(files.Insert(L"x", L"C:\\one", 3), -1); // listed already
    EXPECT_EQ(files.Insert(L"X", L"C:\\one", 4), 2);  // another name: case counts
    EXPECT_EQ(files.Insert(L"x", L"C:\\zero", 5), 2);
    std::vector<std::wstring> paths;
    for (int i = 0; i < files.Count(); ++i)
        paths.push_back(files.Path(i));
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"C:\\one\\x", L"C:\\two\\x", L"C:\\zero\\x",
                                                L"C:\\one\\X", L"C:\\one\\y"}));

    // Names the comparison takes as equal (a letter and the same letter with its
    // accent apart) stand together; each is still listed once per directory.
    EXPECT_EQ(files.Insert(L"\u00e9", L"C:\\one", 1, dv::FileId::Wide(7, 8)), 0);
    EXPECT_EQ(files.Insert(L"e\u0301", L"C:\\one", 1), 1);
    EXPECT_EQ(files.Insert(L"\u00e9", L"C:\\one", 1), -1);
    EXPECT_EQ(files.Insert(L"\u00e9", L"C:\\two", 1), 2);
    EXPECT_EQ(files[0].Id, dv::FileId::Wide(7, 8));

    // Hard names, as "directory\name", put in in this order: the store orders
    // them as a stable sort by lstrcmpW does, each path once.
    const std::wstring longName = L"a\\" + std::wstring(200, L'\u00e9');
    const std::vector<std::wstring> rows[] = {
        // hyphens and apostrophes weigh less than letters (word sort)
        {L"a\\co-op", L"a\\coop", L"a\\co'op", L"a\\cop", L"a\\-a", L"a\\'a", L"a\\a-", L"a\\a--b",
         L"a\\ab", L"a\\a'b", L"a\\a-b", L"b\\co-op", L"a\\co-op"},
        // digits, one by one
        {L"a\\a10", L"a\\a2", L"a\\a1", L"a\\a02", L"a\\10", L"a\\9", L"a\\a0", L"a\\_1",
         L"a\\1.tmp"},
        // case
        {L"a\\b", L"a\\B", L"a\\a", L"a\\A", L"a\\AB", L"a\\aB", L"a\\Ab", L"a\\ab", L"a\\ABC"},
        // accents, composed and not
        {L"a\\\u00e9a", L"a\\ea", L"a\\e\u0301", L"a\\\u00c9", L"a\\e", L"a\\\u00e9", L"a\\E",
         L"a\\\u00ea", L"a\\\u00eb", L"a\\f", L"a\\\u00e9"},
        // outside the code page: Greek, Cyrillic, Han, a pair of surrogates
        {L"a\\\u4e2d.tmp", L"a\\\u03a9", L"a\\\u0416", L"a\\\U0001F600", L"a\\a\u4e2d",
         L"a\\\u0430", L"a\\a", L"a\\\u03c9"},
        // long names, whose keys outgrow any before them
        {L"a\\a", longName + L"2", longName + L"\u00c9", L"a\\" + std::wstring(200, L'e')},
        // empty names, which the platform makes no key for, among others
        {L"a\\b", L"a\\", L"a\\a", L"b\\", L"a\\-", longName, L"a\\", L"a\\c", L"a\\'a"},
        // equal names in two folders
        {L"C:\\two\\x", L"C:\\one\\x", L"C:\\one\\X", L"C:\\two\\x", L"C:\\two\\\u00e9",
         L"C:\\one\\e\u0301", L"C:\\one\\\u00e9", L"C:\\two\\e\u0301", L"C:\\two\\\u00e9"},
    };
    auto name = [](const std::wstring& path) { return path.c_str() + path.rfind(L'\\') + 1; };
    for (const std::vector<std::wstring>& row : rows) {
        dv::TFoundFiles store;
        std::vector<std::wstring> expected, paths;
        for (const std::wstring& path : row) {
            store.Insert(name(path), path.substr(0, path.rfind(L'\\')), 0);
            if (std::find(expected.begin(), expected.end(), path) == expected.end())
                expected.push_back(path);
        }
        std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
            return lstrcmpW(name(a), name(b)) < 0;
        });
        for (int i = 0; i < store.Count(); ++i)
            paths.push_back(store.Path(i));
        EXPECT_EQ(paths, expected);
    }

    // Names over many chunks and pages in a scrambled order; every third
    // dropped and as many put in again among the others.
    dv::TFoundFiles many;
    const int kMany = 9001;
    std::vector<int> thirds;
    for (int i = 0; i < kMany; ++i) {
        many.Insert(L"n" + std::to_wstring(i * 1999 % kMany), L"C:\\d", 0);
        if (i % 3 == 0)
            thirds.push_back(i);
    }
    many.Remove(thirds);
    for (int i : thirds)
        many.Insert(L"n" + std::to_wstring(i) + L"m", L"C:\\d", 0);
    ASSERT_EQ(many.Count(), kMany);
    for (int i = 1; i < kMany; ++i)
        ASSERT_LT(
            lstrcmpW(std::wstring(many.Name(i - 1)).c_str(), std::wstring(many.Name(i)).c_str()),
            0);
}

TEST(FoundFiles, KeepsTheIdsOfFoldersAsGivenUntilCleared) {
    dv::TFoundFiles files;
    files.Insert(L"x", L"C:\\a\\b", 1, dv::FileId::Narrow(5));
    files.RecordFolderId(L"C:\\a\\b", {});
    files.RecordFolderId(L"C:\\a", dv::FileId::Wide(UINT64_MAX, 3));
    files.RecordFolderId(L"C:\\c.\\d ", dv::FileId::Narrow(42));
    const std::pair<const wchar_t*, std::optional<dv::FileId>> cases[] = {
        {L"C:\\a\\b", dv::FileId{}},
        {L"C:\\a", dv::FileId::Wide(UINT64_MAX, 3)},
        {L"C:\\c.\\d ", dv::FileId::Narrow(42)},
        {L"C:\\c.", std::nullopt},
        {L"C:", std::nullopt},
        {L"C:\\A", std::nullopt},
        {L"C:\\a\\b\\x", std::nullopt},
        {L"C:\\b", std::nullopt},
    };
    for (const auto& [dir, id] : cases)
        EXPECT_EQ(files.FolderId(dir), id) << testing::internal::String::ShowWideCString(dir);
    EXPECT_EQ(files.Directory(0), L"C:\\a\\b");
    // Many folders, each holding one of the same name.
    for (uint64_t i = 0; i < 100; ++i)
        files.RecordFolderId(L"C:\\many\\" + std::to_wstring(i) + L"\\same", dv::FileId::Narrow(i));
    for (uint64_t i = 0; i < 100; ++i) {
        EXPECT_EQ(files.FolderId(L"C:\\many\\" + std::to_wstring(i) + L"\\same"),
                  dv::FileId::Narrow(i));
        EXPECT_EQ(files.FolderId(L"C:\\many\\" + std::to_wstring(i)), std::nullopt);
    }
    files.Clear();
    EXPECT_EQ(files.FolderId(L"C:\\a"), std::nullopt);
    EXPECT_EQ(files.Count(), 0);
}

TEST(FoundFiles, FindsANameOrItsStartFromAPlaceLetterCaseAside) {
    dv::TFoundFiles files;
    for (const wchar_t* name : {L"c.tmp", L"B2.tmp", L"a.tmp", L"Éd.tmp", L"b1.tmp"})
        files.Insert(name, L"C:\\d", 0);
    std::vector<std::wstring> names;
    for (int i = 0; i < files.Count(); ++i)
        names.push_back(files[i].Name);
    ASSERT_EQ(names,
              (std::vector<std::wstring>{L"a.tmp", L"b1.tmp", L"B2.tmp", L"c.tmp", L"Éd.tmp"}));
    struct Case {
        const wchar_t* Text;
        int Start;
        bool Prefix, Wrap;
        int Found;
    } cases[] = {
        {L"b", 0, true, true, 1},       {L"b", 2, true, true, 2},   {L"B", 3, true, true, 1},
        {L"b", 3, true, false, -1},     {L"z", 1, true, true, -1},  {L"éD", 0, true, true, 4},
        {L"B1.TMP", 0, false, true, 1}, {L"b", 0, false, true, -1}, {L"c.tmpx", 0, true, true, -1},
        {L"a", 9, true, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(files.Find(c.Text, c.Start, c.Prefix, c.Wrap), c.Found)
            << "\"" << testing::internal::String::ShowWideCString(c.Text) << "\" from " << c.Start;
}
