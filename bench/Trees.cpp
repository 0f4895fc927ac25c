// The trees the benchmarks work on, made with the platform's own file calls
// inside the Wine prefix.
#include "Bench.h"

#include <cstdio>
#include <stdexcept>

namespace dvbench {

namespace {

// A tree made here carries this file in its root, where no scan looks (files
// in a drive's root are never searched) and no pattern matches.
const char kMarkerName[] = "dvbench-tree.txt";

std::string Format(const char* form, int number) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, form, number);
    return buffer;
}

void MakeDirectory(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create " + path);
}

// Sizes are set without writing data: the file system keeps the files sparse.
void MakeFile(const std::string& path, DWORD size, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path);
    if (size > 0) {
        SetFilePointer(file, LONG(size), nullptr, FILE_BEGIN);
        SetEndOfFile(file);
    }
    CloseHandle(file);
}

std::vector<std::string> MakeDirectories(const std::string& root, TreeShape shape) {
    std::vector<std::string> all{root};
    for (size_t parent = 0; int(all.size()) - 1 < shape.Dirs; ++parent)
        for (int i = 0; i < shape.Branching && int(all.size()) - 1 < shape.Dirs; ++i) {
            all.push_back(all[parent] + Format("\\dir%02d", i));
            MakeDirectory(all.back());
        }
    return {all.begin() + 1, all.end()};
}

// Makes the directories, then calls makeFile(directory, file number) for
// every file, numbering them directory by directory.
template <class MakeOne>
void GenerateTree(const std::string& root, TreeShape shape, MakeOne&& makeFile) {
    if (shape.Dirs <= 0 || shape.Files % shape.Dirs != 0)
        throw std::runtime_error("the files must spread evenly over the directories");
    MakeDirectory(kBenchRoot);
    MakeDirectory(root);
    MakeFile(root + "\\" + kMarkerName, 0);
    const std::vector<std::string> dirs = MakeDirectories(root, shape);
    const int perDir = shape.Files / shape.Dirs;
    for (int d = 0; d < shape.Dirs; ++d)
        for (int s = 0; s < perDir; ++s)
            makeFile(dirs[size_t(d)], d * perDir + s);
}

// One name form per wildcard default pattern, so that every match matches
// exactly one pattern. Matches begin with "f" or "~f", other files with "n".
const char* const kMatchForms[] = {
    "f%06d.bak", "f%06d.TMP", "f%06d.old", "f%06d.~mp", "~f%06d.doc", "f%06d.$$$",
    "f%06d.---", "f%06d.gid", "f%06d.FTG", "f%06d.fts", "f%06d.FND",  "f%06d.chk",
    "f%06d.dmp", "f%06d.nch", "f%06d.da0", "f%06d.$db", "f%06d.db$",
};
const char* const kOtherForms[] = {"n%06d.dat", "n%06d.txt", "n%06d.dll", "n%06d.htm",
                                   "n%06d.ini", "n%06d.jpg", "n%06d.exe", "n%06d.cpp"};

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

void RequireBenchPath(const std::string& path) {
    const std::string prefix = std::string(kBenchRoot) + "\\";
    const bool inside = path.size() > prefix.size() &&
                        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(),
                                       int(prefix.size()), prefix.c_str(), -1) == CSTR_EQUAL;
    const bool benchDrive =
        path.size() == 2 && path[1] == ':' &&
        GetFileAttributesA((path + "\\" + kMarkerName).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!inside && !benchDrive)
        throw std::runtime_error(path + " is not a benchmark tree");
}

void GenerateScanTree(const std::string& root, TreeShape shape, int matches) {
    const int every = matches > 0 ? shape.Files / matches : shape.Files + 1;
    int made = 0;
    GenerateTree(root, shape, [&](const std::string& dir, int n) {
        if (n % every == 0 && made < matches) {
            const char* form = kMatchForms[size_t(made++) % std::size(kMatchForms)];
            MakeFile(dir + "\\" + Format(form, n), DWORD(1024 * (n % 7) + 100));
        } else {
            MakeFile(dir + "\\" + Format(kOtherForms[size_t(n) % std::size(kOtherForms)], n), 0);
        }
    });
}

void GenerateCleanTree(const std::string& root, TreeShape shape) {
    GenerateTree(root, shape, [](const std::string& dir, int n) {
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
        if (n % 10 == 0)
            attributes = FILE_ATTRIBUTE_READONLY;
        else if (n % 25 == 1)
            attributes = FILE_ATTRIBUTE_HIDDEN;
        const char* form = kOtherForms[size_t(n) % std::size(kOtherForms)];
        MakeFile(dir + "\\" + Format(form, n), DWORD(512 * (n % 8)), attributes);
    });
}

bool IsGeneratedMatch(const char* name) {
    return name[0] == 'f' || (name[0] == '~' && name[1] == 'f');
}

const std::vector<std::string>& DefaultPatterns() {
    static const std::vector<std::string> patterns = {
        "*.BAK", "*.TMP", "*.OLD", "*.~*",        "~*.*",        "*.$$$", "*.---",
        "*.GID", "*.FTG", "*.FTS", "*.FND",       "*.CHK",       "*.DMP", "*.NCH",
        "*.DA0", "*.$DB", "*.DB$", "FILE_ID.DIZ", "ANTI-VIR.DAT"};
    return patterns;
}

void WalkDirectories(const std::string& root,
                     const std::function<void(const std::string&)>& visit) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((root + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    visit(root);
    do {
        if (!IsDotEntry(entry.cFileName) && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            WalkDirectories(root + "\\" + entry.cFileName, visit);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

void WalkFiles(const std::string& root,
               const std::function<void(const std::string&, const WIN32_FIND_DATAA&)>& visit) {
    WalkDirectories(root, [&](const std::string& dir) {
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                visit(dir, entry);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    });
}

std::vector<std::string> MatchingFiles(const std::string& root, const std::string& pattern) {
    std::vector<std::string> files;
    WalkDirectories(root, [&](const std::string& dir) {
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((dir + "\\" + pattern).c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(dir + "\\" + entry.cFileName);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    });
    return files;
}

int CountEntries(const std::string& root) {
    int count = -1; // root itself is not below root
    WalkDirectories(root, [&](const std::string&) { ++count; });
    WalkFiles(root, [&](const std::string&, const WIN32_FIND_DATAA&) { ++count; });
    return count;
}

} // namespace dvbench
