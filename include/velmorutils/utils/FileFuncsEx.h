#pragma once

#include "velmorutils/inlines/CZelArray.h"
#include "velmorutils/platform/CWnd.h"
#include "velmorutils/platform/EFindFolder.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/platform/Win32FindData.h"
#include "velmorutils/text/CZelStringT.h"

// Copying, removing and listing folders, file sizes, removable media and shortening a path to
// a window. int results are non-zero for success.
namespace FileFuncsEx {

using String = zel_text::CZelStringT<char>;
using FindDataArray = zel_templ::CZelArray<WIN32_FIND_DATAA, WIN32_FIND_DATAA&>;

// The size of an existing file (not a folder): low gets the low 32 bits, *high (if given) the
// high 32 bits. False when the file cannot be opened or the low half is 0xFFFFFFFF, the value
// that meant an invalid size.
VELMORUTILS_API bool GetPathSize(const char* name, unsigned long& low,
                                 unsigned long* high = nullptr);

// Copies a file, replacing the target; an existing target with overwrite 0 is left alone (1).
VELMORUTILS_API int CopyFromTo(const char* from, const char* to, int overwrite);

// Copies when the target is missing or older than the source; 1 without copying otherwise.
// 0 when the target exists and the source does not.
VELMORUTILS_API int CopyFromToCheckDate(const char* from, const char* to);

// Copies the files of a folder (and, when recursive, its folders) into another, creating it if
// needed. The first failure ends the walk; 1 when there was nothing to copy.
VELMORUTILS_API int CopyDirectory(const char* from, const char* to, int recursive);

// Removes a folder with everything in it, read-only files included.
VELMORUTILS_API int RemoveDirectoryTree(const char* path);

// Creates a folder and every missing folder above it ("\" or "/" separated).
VELMORUTILS_API int CreateDirectoryTree(const char* path);

// Lists folder + "\*" + pattern (pattern may be null): files when kind has bit 1, folders
// other than "." and ".." when it has bit 2, in the order of the search.
VELMORUTILS_API void FindAllFilesInFolder(FindDataArray& found, EFindFolder kind,
                                          const char* folder, const char* pattern = nullptr);

// Non-zero for exactly "." and "..".
VELMORUTILS_API int IsDots(const char* name);

// The number of entries a search of folder + "\*.*" yields after its first one; 0 when it
// finds nothing.
VELMORUTILS_API unsigned long CountFiles(const String& folder);

// Non-zero when the path lies on removable storage.
VELMORUTILS_API int IsPathOnFlashCard(const char* path);

// Shortens a path to fit the window's width by replacing folder names with "..." (see the
// implementation for the exact walk). Without a window the path comes back unchanged.
VELMORUTILS_API String CompactPath(HWND window, const char* path, char separator = '\\');

}  // namespace FileFuncsEx
