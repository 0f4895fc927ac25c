// The rules names and paths follow, with literal expectations: which long
// names a pattern matches, and how a path is given to the platform.
#include "app/LongPaths.h"
#include "scan/NameMatch.h"

#include <gtest/gtest.h>

namespace {

struct MatchCase {
    const wchar_t* Pattern;
    const wchar_t* Name;
    bool Matches;
};

const MatchCase kMatchCases[] = {
    {L"*.TMP", L"x.tmp", true},
    {L"*.TMP", L"keep.tmpl", false},
    {L"*.TMP", L"x.tmp.", false},
    {L"*.TMP", L"a.b.TMP", true},
    {L"*.BAK", L"old.bake", false},
    {L"*.BAK", L"OLD.BAK", true},
    {L"~*.*", L"~A.~B", true},
    {L"*.~*", L"~A.~B", true},
    {L"~*.*", L"~abc", true},
    {L"~*.*", L"a~b.c", false},
    {L"*.*", L"noextension", true},
    {L"*.*", L"..cache", true},
    {L"x.*", L"x.tmp.", true},
    {L"x.*", L"x", true},
    {L"x.*", L"xy.tmp", false},
    {L"FILE_ID.DIZ", L"file_id.diz", true},
    {L"FILE_ID.DIZ", L"file_id.dizz", false},
    {L"??.tmp", L"a.tmp", true},
    {L"??.tmp", L"abc.tmp", false},
    {L"?.tmp", L"ab.tmp", false},
    {L"*.$$$", L"setup.$$$", true},
    {L"nul", L"NUL", true},
    {L"nul", L"nul.txt", false},
    {L"*cache", L"..cache", true},
    {L"*.", L"README", true},
    {L"*.", L"read.me", false},
    {L"a*b", L"a.x.b", true},
    {L"a*b", L"a.x.c", false},
    // Path normalisation drops final dots and blanks first.
    {L"*.TMP ", L"x.tmp", true},
    {L"x.*.", L"x.yz", true},
    {L"x.*.", L"x.y.z", false},
    {L"...", L"a", false},
    {L". .", L"a", false},
};

TEST(NameRules, APatternMatchesTheLongNameAloneByTheDirectorySearchsRules) {
    for (const MatchCase& c : kMatchCases)
        EXPECT_EQ(dv::NameMatchesPattern(c.Pattern, c.Name), c.Matches)
            << testing::PrintToString(std::wstring(c.Pattern)) << " on "
            << testing::PrintToString(std::wstring(c.Name));
}

TEST(NameRules, PathsReachThePlatformVerbatimAndPastTheLimitInTheirLongForm) {
    const std::wstring at259 = L"C:\\" + std::wstring(256, L'a');
    const std::wstring at260 = at259 + L"b";
    const std::pair<std::wstring, std::wstring> verbatim[] = {
        {L"C:\\d.\\s ", L"\\\\?\\C:\\d.\\s "},
        {L"\\\\server\\share\\x.", L"\\\\?\\UNC\\server\\share\\x."},
        {L"\\\\?\\C:\\nul", L"\\\\?\\C:\\nul"},
    };
    for (const auto& [path, expected] : verbatim)
        EXPECT_EQ(dv::VerbatimPath(path), expected);
    EXPECT_EQ(dv::PlatformPath(at259), at259);
    EXPECT_EQ(dv::PlatformPath(at260), L"\\\\?\\" + at260);
    EXPECT_EQ(dv::PlatformPath(L"\\\\server\\share\\" + std::wstring(260, L'a')),
              L"\\\\?\\UNC\\server\\share\\" + std::wstring(260, L'a'));
    // The long form of a path as written: made full, doubled separators gone.
    EXPECT_EQ(dv::ExtendedPath(L"C:\\a\\\\b\\"), L"\\\\?\\C:\\a\\b\\");
    EXPECT_EQ(dv::ExtendedPath(L"\\\\server\\share\\a"), L"\\\\?\\UNC\\server\\share\\a");
}

} // namespace
