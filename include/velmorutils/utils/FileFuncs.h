#pragma once

#include "velmorutils/platform/CWnd.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/platform/Win32FindData.h"
#include "velmorutils/text/CZelStringT.h"

// Path names, existence tests, folder creation, the file dialog and file times. Paths use "\"
// as the separator; the name-splitting functions accept "/" too. Failures are reported by the
// result, never by an exception.
namespace FileFuncs {

using String = zel_text::CZelStringT<char>;

// Index just after the last "\" or "/"; 0 when there is neither.
VELMORUTILS_API int GetFileNameStart(const String& path);
// Index of the last "." anywhere in the text (a dot in a folder name counts); the length when
// there is none.
VELMORUTILS_API int GetFileExtStart(const String& path);
VELMORUTILS_API String ExtractFileNameWithExtFromPathName(const String& path);
// The extension without its dot; empty when there is no dot or nothing follows it.
VELMORUTILS_API String ExtractFileNameExtFromPathName(const String& path);
VELMORUTILS_API String ExtractFileNameWithoutExtFromPathName(const String& path);
VELMORUTILS_API String ExtractPathNameWithoutExtFromPathName(const String& path);
// The text before the last separator; empty when there is none or it is the first character.
VELMORUTILS_API String ExtractDirNameWithoutSlashFromPathName(const String& path);

// True for existing files and folders.
VELMORUTILS_API bool IsFileExist(const String& path);
// True when a search for the path finds a folder.
VELMORUTILS_API bool IsDirExist(const String& path);
// Creates the folder and, below the deepest existing one, every missing folder on the way
// ("\" separated). True when the folder exists at the end.
VELMORUTILS_API bool CreateDir(const String& path);

// Asks the installed file chooser (see platform/FileChooser.h) for a file to open (path and
// file must exist) or to save (read-only box hidden, overwriting confirmed). The chosen full
// path, or empty text when the user cancels, no chooser is installed or the dialog fails.
VELMORUTILS_API String ChooseFileDialog(bool open, const char* defExt = nullptr,
                                        const char* fileName = nullptr,
                                        const char* initialDir = nullptr,
                                        const char* filter = nullptr, CWnd* parent = nullptr);

// The three times of an existing file (folders cannot be opened); any output may be null.
VELMORUTILS_API bool zelGetFileTimes(const char* name, FILETIME* created,
                                     FILETIME* accessed = nullptr, FILETIME* written = nullptr);

// A file time in local time: date "MM/DD/YYYY", time "HH:MM" (24 hours); either may be null.
// False when the time cannot be converted; the texts are then left as they were.
VELMORUTILS_API bool ConvertAndFormatFileTime(FILETIME& t, String* date, String* time);

// Only when d1 is given: created into d1/t1, written into d2/t2, accessed into d3/t3, each
// pair only when its time is given. Always true.
VELMORUTILS_API bool zelGetFileTimeFormatted(FILETIME* created, FILETIME* accessed,
                                             FILETIME* written, String* d1, String* t1 = nullptr,
                                             String* d2 = nullptr, String* t2 = nullptr,
                                             String* d3 = nullptr, String* t3 = nullptr);

// The same for a file's own times. When they cannot be read, every text given is emptied.
// Always true.
VELMORUTILS_API bool zelGetFileTimeFormatted(const char* name, String* d1, String* t1 = nullptr,
                                             String* d2 = nullptr, String* t2 = nullptr,
                                             String* d3 = nullptr, String* t3 = nullptr);

// The current UTC time as a file time.
VELMORUTILS_API void zelGetSystemTimeAsFileTime(FILETIME& t);

}  // namespace FileFuncs
