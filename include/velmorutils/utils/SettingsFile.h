#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"
#include "velmorutils/utils/CINIFile.h"

// The application's settings files live in the folder GetRootDir() + "\Settings".

// ini.LoadIni of the settings folder + "\" + name.
VELMORUTILS_API bool LoadSettingsFile(const zel_text::CZelStringT<char>& name, CINIFile& ini);
// Creates the settings folder when it is missing (false if that fails), then ini.SaveIni of the
// folder + "\" + name.
VELMORUTILS_API bool SaveSettingsFile(const zel_text::CZelStringT<char>& name, const CINIFile& ini);
