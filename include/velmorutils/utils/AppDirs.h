#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"

// The two folders the application's object library supplies on its own platform. Here the
// library supplies them itself: the application folder is the folder of the running executable
// and the documents folder the user's documents folder, both in the "\" form and without a
// trailing separator. An application (or a test) may set either explicitly; the folders derived
// from them and cached by AppStrPaths see only what was set before their first use.

// The application folder.
VELMORUTILS_API zel_text::CZelStringT<char> GetAppDir();

// The user's documents folder of the application.
VELMORUTILS_API zel_text::CZelStringT<char> GetUserDir();

// Sets the application folder; null or empty text goes back to the default.
VELMORUTILS_API void SetAppDir(const char* folder);

// Sets the documents folder; null or empty text goes back to the default.
VELMORUTILS_API void SetUserDir(const char* folder);
