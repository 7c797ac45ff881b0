#include "velmorutils/utils/FileFuncs.h"

#include <string>
#include <vector>

#include "velmorutils/platform/FileChooser.h"
#include "velmorutils/platform/FileSystem.h"

namespace FileFuncs {

namespace {

int lastSeparator(const String& path) {
    const int backslash = path.ReverseFind('\\');
    const int slash = path.ReverseFind('/');
    return backslash > slash ? backslash : slash;
}

void clear(String* text) {
    if (text) text->Empty();
}

}  // namespace

int GetFileNameStart(const String& path) {
    return lastSeparator(path) + 1;
}

int GetFileExtStart(const String& path) {
    const int dot = path.ReverseFind('.');
    return dot < 0 ? path.GetLength() : dot;
}

String ExtractFileNameWithExtFromPathName(const String& path) {
    return path.Mid(GetFileNameStart(path));
}

String ExtractFileNameExtFromPathName(const String& path) {
    const int dot = GetFileExtStart(path);
    if (dot >= path.GetLength()) return String();
    return path.Mid(dot + 1);
}

// A dot in a folder name puts the extension start before the name start: the name is then
// empty, as Mid makes a negative count.
String ExtractFileNameWithoutExtFromPathName(const String& path) {
    const int start = GetFileNameStart(path);
    return path.Mid(start, GetFileExtStart(path) - start);
}

String ExtractPathNameWithoutExtFromPathName(const String& path) {
    return path.Left(GetFileExtStart(path));
}

String ExtractDirNameWithoutSlashFromPathName(const String& path) {
    const int separator = lastSeparator(path);
    if (separator <= 0) return String();
    return path.Left(separator);
}

bool IsFileExist(const String& path) {
    return zel_platform::PathFileExists(path);
}

bool IsDirExist(const String& path) {
    zel_platform::CFindFile find;
    WIN32_FIND_DATAA found;
    if (!find.FindFirst(path, found)) return false;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const String& path) {
    String current(path);
    const int length = current.GetLength();
    if (length > 0 && current[length - 1] == '\\') current = current.Left(length - 1);

    // Outward: split off last parts until a folder exists or can be made directly.
    std::vector<String> missing;
    while (!IsDirExist(current) && !zel_platform::CreateDirectory(current)) {
        const int separator = current.ReverseFind('\\');
        if (separator < 0) return false;
        missing.push_back(current.Mid(separator));
        current = current.Left(separator);
    }
    // Inward: the parts again, nearest to the existing folder first.
    for (auto part = missing.rbegin(); part != missing.rend(); ++part) {
        current += *part;
        if (!zel_platform::CreateDirectory(current)) return false;
    }
    return true;
}

String ChooseFileDialog(bool open, const char* defExt, const char* fileName, const char* initialDir,
                        const char* filter, CWnd* parent) {
    const zel_platform::FileChooser& chooser = zel_platform::GetFileChooser();
    if (!chooser) return String();
    const unsigned flags =
        open ? (zel_platform::eChooserPathMustExist | zel_platform::eChooserFileMustExist)
             : (zel_platform::eChooserHideReadOnly | zel_platform::eChooserOverwritePrompt);
    const zel_platform::TFileChooserRequest request{open,       flags,  defExt, fileName,
                                                    initialDir, filter, parent};
    // A dialog that fails, for memory or any other reason, is a cancelled dialog.
    try {
        std::string chosen;
        if (!chooser(request, chosen)) return String();
        return String(chosen.c_str());
    } catch (...) {
        return String();
    }
}

bool zelGetFileTimes(const char* name, FILETIME* created, FILETIME* accessed, FILETIME* written) {
    return zel_platform::GetFileTimes(name, created, accessed, written);
}

bool ConvertAndFormatFileTime(FILETIME& t, String* date, String* time) {
    zel_platform::TLocalTime local{};
    if (!zel_platform::FileTimeToLocalTime(t, local)) return false;
    if (date) date->Format("%02d/%02d/%d", local.month, local.day, local.year);
    if (time) time->Format("%02d:%02d", local.hour, local.minute);
    return true;
}

bool zelGetFileTimeFormatted(FILETIME* created, FILETIME* accessed, FILETIME* written, String* d1,
                             String* t1, String* d2, String* t2, String* d3, String* t3) {
    if (!d1) return true;
    if (created) ConvertAndFormatFileTime(*created, d1, t1);
    if (written) ConvertAndFormatFileTime(*written, d2, t2);
    if (accessed) ConvertAndFormatFileTime(*accessed, d3, t3);
    return true;
}

bool zelGetFileTimeFormatted(const char* name, String* d1, String* t1, String* d2, String* t2,
                             String* d3, String* t3) {
    FILETIME created{}, accessed{}, written{};
    if (!zelGetFileTimes(name, &created, &accessed, &written)) {
        // No times to show: empty texts rather than whatever the caller had in them.
        for (String* text : {d1, t1, d2, t2, d3, t3})
            clear(text);
        return true;
    }
    return zelGetFileTimeFormatted(&created, &accessed, &written, d1, t1, d2, t2, d3, t3);
}

void zelGetSystemTimeAsFileTime(FILETIME& t) {
    t = zel_platform::GetSystemTimeAsFileTime();
}

}  // namespace FileFuncs
