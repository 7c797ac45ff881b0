#include "velmorutils/utils/FileFuncsEx.h"

#include <cstring>
#include <vector>

#include "velmorutils/platform/FileSystem.h"
#include "velmorutils/utils/FileFuncs.h"

namespace FileFuncsEx {

namespace {

bool isEmpty(const char* text) {
    return text == nullptr || *text == '\0';
}

// A path of separators only names the root of the file system.
bool isRoot(const char* path) {
    return path[std::strspn(path, "\\/")] == '\0';
}

String child(const char* folder, const char* name) {
    String path(folder);
    path += "\\";
    path += name;
    return path;
}

bool isFolder(const WIN32_FIND_DATAA& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Later than, by the full 64-bit file time.
bool isLater(const FILETIME& a, const FILETIME& b) {
    return zel_platform::fileTimeTicks(a) > zel_platform::fileTimeTicks(b);
}

int copyFile(const char* from, const char* to) {
    return zel_platform::CopyFile(from, to, false) ? 1 : 0;
}

}  // namespace

bool GetPathSize(const char* name, unsigned long& low, unsigned long* high) {
    std::uint64_t size = 0;
    if (!zel_platform::GetFileSize(name, size)) return false;
    low = static_cast<unsigned long>(size & 0xFFFFFFFFu);
    if (high) *high = static_cast<unsigned long>(size >> 32);
    return low != 0xFFFFFFFFul;
}

int CopyFromTo(const char* from, const char* to, int overwrite) {
    if (overwrite == 0 && zel_platform::PathFileExists(to)) return 1;
    return copyFile(from, to);
}

int CopyFromToCheckDate(const char* from, const char* to) {
    if (!zel_platform::PathFileExists(to)) return copyFile(from, to);
    if (!zel_platform::PathFileExists(from)) return 0;
    FILETIME source{}, target{};
    const bool known = FileFuncs::zelGetFileTimes(from, nullptr, nullptr, &source) &&
                       FileFuncs::zelGetFileTimes(to, nullptr, nullptr, &target);
    if (known && isLater(source, target)) return copyFile(from, to);
    return 1;
}

// Empty names are refused: "" + "\*.*" would walk the root of the file system.
int CopyDirectory(const char* from, const char* to, int recursive) {
    if (isEmpty(from) || isEmpty(to)) return 0;
    if (!zel_platform::PathFileExists(to)) zel_platform::CreateDirectory(to);
    int result = 1;
    zel_platform::CFindFile find;
    WIN32_FIND_DATAA entry;
    for (bool more = find.FindFirst(child(from, "*.*"), entry); more; more = find.FindNext(entry)) {
        if (IsDots(entry.cFileName)) continue;
        const String source = child(from, entry.cFileName);
        const String target = child(to, entry.cFileName);
        // Without recursion a folder is handed to the file copy like any entry, which refuses
        // it and ends the walk.
        if (isFolder(entry) && recursive) {
            result = CopyDirectory(source, target, recursive);
        } else {
            result = copyFile(source, target);
        }
        if (result == 0) break;
    }
    return result;
}

// Empty text and the root are refused: removing everything is never what a caller meant.
int RemoveDirectoryTree(const char* path) {
    if (isEmpty(path) || isRoot(path)) return 0;
    zel_platform::CFindFile find;
    WIN32_FIND_DATAA entry;
    for (bool more = find.FindFirst(child(path, "*.*"), entry); more; more = find.FindNext(entry)) {
        const String name = child(path, entry.cFileName);
        if (isFolder(entry)) {
            if (IsDots(entry.cFileName)) continue;
            if (!RemoveDirectoryTree(name)) return 0;
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            const std::uint32_t writable = entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY;
            if (!zel_platform::SetFileAttributes(name, writable)) return 0;
        }
        // A file that will not go is left for the folder removal to report.
        zel_platform::DeleteFile(name);
    }
    return zel_platform::RemoveDirectory(path) ? 1 : 0;
}

int CreateDirectoryTree(const char* path) {
    if (isEmpty(path)) return 0;
    std::vector<String> prefixes;
    String current(path);
    for (;;) {
        prefixes.push_back(current);
        const int backslash = current.ReverseFind('\\');
        const int slash = current.ReverseFind('/');
        const int separator = backslash > slash ? backslash : slash;
        if (separator < 1) break;
        current = current.Left(separator);
    }
    for (auto prefix = prefixes.rbegin(); prefix != prefixes.rend(); ++prefix) {
        if (zel_platform::PathFileExists(*prefix)) continue;
        if (!zel_platform::CreateDirectory(*prefix)) break;
    }
    return zel_platform::PathFileExists(path) ? 1 : 0;
}

// An empty folder name is refused rather than listing the root.
void FindAllFilesInFolder(FindDataArray& found, EFindFolder kind, const char* folder,
                          const char* pattern) {
    found.RemoveAll();
    if (isEmpty(folder)) return;
    String search = child(folder, "*");
    if (pattern) search += pattern;
    zel_platform::CFindFile find;
    WIN32_FIND_DATAA entry;
    for (bool more = find.FindFirst(search, entry); more; more = find.FindNext(entry)) {
        if (!isFolder(entry)) {
            if (kind & eFindFiles) found.Add(entry);
        } else if ((kind & eFindFolders) && !IsDots(entry.cFileName)) {
            found.Add(entry);
        }
    }
}

int IsDots(const char* name) {
    if (!name) return 0;
    return (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) ? 1 : 0;
}

// The search yields "." first, so the count is of ".." and everything in the folder.
unsigned long CountFiles(const String& folder) {
    zel_platform::CFindFile find;
    WIN32_FIND_DATAA entry;
    if (!find.FindFirst(child(folder, "*.*"), entry)) return 0;
    unsigned long count = 0;
    while (find.FindNext(entry))
        ++count;
    return count;
}

// Cards are not top-level folders here as they were on the mobile devices: the folder's own
// device is asked whether it is removable.
int IsPathOnFlashCard(const char* path) {
    if (isEmpty(path)) return 0;
    const std::uint32_t attributes = zel_platform::GetFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if (!(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY))) return 0;
    return zel_platform::IsOnRemovableMedia(path) ? 1 : 0;
}

String CompactPath(HWND window, const char* path, char separator) {
    String text(path);
    bool restoreSeparator = false;
    if (text.GetLength() > 2 && text[text.GetLength() - 1] == separator) {
        text = text.Left(text.GetLength() - 1);
        restoreSeparator = true;
    }
    const auto finish = [&]() {
        if (restoreSeparator) text += separator;
        return text;
    };
    if (!window || text.IsEmpty()) return finish();

    // A tenth of the width is kept free as a margin.
    const int clientWidth = window->GetClientWidth();
    const int room = clientWidth - clientWidth / 10;
    if (room <= 0) return finish();

    const auto measure = [&]() { return window->GetTextWidth(text, text.GetLength()); };
    int width = measure();
    int position = 0;
    bool dotsPlaced = false;
    while (position < text.GetLength() && width > room) {
        const int at = text.Find(separator, position);
        if (at < 0) break;
        const int next = text.Find(separator, at + 1);
        if (next < 0) break;
        if (!dotsPlaced) {
            const int nameStart = at + 1;
            // Names shorter than the dots would not get shorter: try the next folder.
            if (next - nameStart < 3) {
                position = next;
                continue;
            }
            text.Delete(nameStart, next - nameStart);
            text.Insert(nameStart, "...");
            position = nameStart + 3;
            dotsPlaced = true;
        } else {
            // The position is the separator behind the dots: drop one more whole folder.
            text.Delete(at, next - at);
        }
        width = measure();
    }
    return finish();
}

}  // namespace FileFuncsEx
