#include "app/HelpViewer.h"

#include "app/Modal.h"
#include "app/Strings.h"

#include <cstdio>
#include <vector>

namespace dv {

namespace {

// The stand-in that Windows ships in the viewer's place has some kilobytes, a
// viewer some hundreds.
constexpr DWORD kSmallestViewerSize = 64 * 1024;

// The page of the HTML Help file that each numbered topic opens, from
// docs/help/context-map.txt.
struct TopicPage {
    ULONG_PTR Topic;
    const char* Page;
};
constexpr TopicPage kTopicPages[] = {
#include "HelpTopicPages.inc"
};

std::string WindowsFolder() {
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string DescriptionIn(std::vector<char>& versionInfo) {
    WORD* language = nullptr; // language and code page
    UINT length = 0;
    if (!VerQueryValueW(versionInfo.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&language), &length) ||
        length < 2 * sizeof(WORD))
        return "";
    char key[64];
    snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\FileDescription", language[0],
             language[1]);
    wchar_t* text = nullptr;
    if (!VerQueryValueW(versionInfo.data(), AnsiToWide(key).c_str(),
                        reinterpret_cast<void**>(&text), &length) ||
        !length)
        return "";
    return WideToAnsi(text);
}

// The description in a program file's version information, or "". The file
// is read as data: asked for the version information of a file named like a
// program of its own, Wine answers with that program's.
std::string VersionDescription(const std::string& file) {
    HMODULE module = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "";
    std::string description;
    if (HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION)) {
        const auto* start = static_cast<const char*>(LockResource(LoadResource(module, resource)));
        std::vector<char> versionInfo(start, start + SizeofResource(module, resource));
        description = DescriptionIn(versionInfo);
    }
    FreeLibrary(module);
    return description;
}

// Windows' stand-in for the viewer, which only says that there is none.
bool IsStandIn(const std::string& viewer) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(viewer.c_str(), GetFileExInfoStandard, &data))
        return false;
    return (data.nFileSizeHigh == 0 && data.nFileSizeLow < kSmallestViewerSize) ||
           LowerAscii(VersionDescription(viewer)).find("stub") != std::string::npos;
}

// WinHelpA reaches a working viewer: one is open, or the one it would start
// from folder is no stand-in.
bool LegacyViewerInstalled(const std::string& folder) {
    if (FindWindowA(kLegacyViewerClass, nullptr))
        return true;
    const std::string viewer = folder + "\\winhlp32.exe";
    return FileExists(viewer) && !IsStandIn(viewer);
}

std::string ChmFileOf(const std::string& helpFile) {
    return helpFile.substr(0, helpFile.rfind('.')) + ".CHM";
}

struct HtmlHelpRequest {
    std::string File;
    UINT Command;
};

// The contents open the default page with the contents pane; every other
// command the program gives (HELP_CONTEXT, HELP_CONTEXTPOPUP) its topic's page.
HtmlHelpRequest HtmlHelpFor(const std::string& chm, UINT command, ULONG_PTR data) {
    if (command == HELP_FINDER)
        return {chm, HH_DISPLAY_TOC};
    for (const TopicPage& page : kTopicPages)
        if (page.Topic == data)
            return {chm + "::/" + page.Page, HH_DISPLAY_TOPIC};
    return {chm, HH_DISPLAY_TOPIC};
}

void ReportNoHelp(HWND owner, const std::string& caption, const std::vector<std::string>& sought) {
    std::string text = "The help file was not found. Dormivane looked for:";
    for (const std::string& path : sought)
        text += "\n" + path;
    Modal().MessageBox(owner, text, caption, MB_OK | MB_ICONERROR);
}

} // namespace

void THelpViewer::Command(HWND owner, const std::string& helpFile, UINT command, ULONG_PTR data,
                          const std::string& caption) {
    const std::string folder = LegacyViewerFolder.empty() ? WindowsFolder() : LegacyViewerFolder;
    if (FileExists(helpFile) && LegacyViewerInstalled(folder)) {
        Modal().WinHelp(owner, helpFile, command, data);
        return;
    }
    // HTML Help has no pop-ups to place: the request that follows opens the page.
    if (command == HELP_SETPOPUP_POS)
        return;
    const std::string chm = ChmFileOf(helpFile);
    if (!FileExists(chm)) {
        ReportNoHelp(owner, caption,
                     FileExists(helpFile) ? std::vector{chm} : std::vector{helpFile, chm});
        return;
    }
    const HtmlHelpRequest request = HtmlHelpFor(chm, command, data);
    htmlHelpAsked_ = true;
    if (!Modal().HtmlHelp(owner, request.File, request.Command, 0))
        ReportNoHelp(owner, caption, {HtmlHelpLibraryPath()});
}

void THelpViewer::CloseAll() {
    if (htmlHelpAsked_)
        Modal().HtmlHelp(nullptr, "", HH_CLOSE_ALL, 0);
    htmlHelpAsked_ = false;
}

std::string HtmlHelpLibraryPath() {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\hhctrl.ocx";
}

} // namespace dv
