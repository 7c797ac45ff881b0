#pragma once

#include <functional>
#include <string>

#include "velmorutils/platform/CWnd.h"
#include "velmorutils/platform/Export.h"

// The file dialog of the library is whatever chooser the application installs: the library
// has no user interface of its own on this platform. Without a chooser every dialog is
// cancelled.
namespace zel_platform {

// The dialog options asked for, with the values the original dialog flags had.
enum EFileChooserFlags : unsigned {
    eChooserOverwritePrompt = 0x0002,  // ask before a chosen file is replaced
    eChooserHideReadOnly = 0x0004,     // no read-only check box
    eChooserPathMustExist = 0x0800,
    eChooserFileMustExist = 0x1000,
};

struct TFileChooserRequest {
    bool open;             // an open dialog; otherwise a save dialog
    unsigned flags;        // EFileChooserFlags
    const char* defExt;    // may be null, as may the texts below
    const char* fileName;  // initial file name
    const char* initialDir;
    const char* filter;  // "Text|*.txt|All|*.*||" style
    CWnd* parent;
};

// Shows the dialog. Returns true and the full chosen path when the user confirms; false when
// the user cancels. Throwing std::bad_alloc reports that the dialog could not be made.
using FileChooser = std::function<bool(const TFileChooserRequest& request, std::string& chosen)>;

// Installs a chooser (an empty one removes it) and returns the one it replaces.
VELMORUTILS_API FileChooser SetFileChooser(FileChooser chooser);

// The installed chooser; empty when none is.
VELMORUTILS_API const FileChooser& GetFileChooser();

}  // namespace zel_platform
