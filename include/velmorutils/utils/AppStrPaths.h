#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"

// Where an installation keeps its folders and files, decided in one place. Every path is a base
// folder followed by fixed texts that begin with "\"; nothing here checks that a path exists,
// except the user settings folder and the program's temporary folder, which are created on
// first use and then cached for the rest of the process.
namespace AppStrPaths {

using String = zel_text::CZelStringT<char>;

// Base folders, as the platform gives them (no separator added or removed).
VELMORUTILS_API String GetRootDir();          // the application folder
VELMORUTILS_API String GetExeDir();           // the same
VELMORUTILS_API String GetApplicationPath();  // the same
VELMORUTILS_API String GetDocsDir();          // the user's documents folder
VELMORUTILS_API String GetTempDir();          // the temporary folder, ending in "\"

// Names and extensions.
VELMORUTILS_API String GetJobExt();
VELMORUTILS_API String GetJobExtensionName();
VELMORUTILS_API String GetInitialJobName();
VELMORUTILS_API String GetInitialJobVersionName();
VELMORUTILS_API String GetStylesDBName();
VELMORUTILS_API String GetProgramName();
VELMORUTILS_API String GetMainHelpName();
VELMORUTILS_API String GetGpsHelpName();
VELMORUTILS_API String GetTsHelpName();
VELMORUTILS_API String GetCogoHelpName();
VELMORUTILS_API String GetQuorixHelpName();
VELMORUTILS_API String GetDarvoHelpName();
VELMORUTILS_API String GetRQ3Ext();
VELMORUTILS_API String GetRQ3ExtensionName();
VELMORUTILS_API String GetImageExt();
VELMORUTILS_API String GetCameraExt();
VELMORUTILS_API String GetScanFileExt();
VELMORUTILS_API String GetIMCFileExt();

// Folders and files below the application folder.
VELMORUTILS_API String GetLogFilePath();
VELMORUTILS_API String GetStylesDBPath();
VELMORUTILS_API String GetInitialJobPath();
VELMORUTILS_API String GetInitialJobVersionPath();
VELMORUTILS_API String GetSessionSettingsPath();
VELMORUTILS_API String GetIESettingsPath();
VELMORUTILS_API String GetCodeLibraryPath();
VELMORUTILS_API String GetUserDefinedAntennaFilePath();
VELMORUTILS_API String GetRowDataPath();
VELMORUTILS_API String GetLngFilePath();
VELMORUTILS_API String GetAntennaFilePath();
VELMORUTILS_API String GetPreDefinedAntennaFilePath();
VELMORUTILS_API String GetSoundFilePath();
VELMORUTILS_API String GetCustomDevicesPath();
VELMORUTILS_API String GetGeoidsListPath();

// Folders and files below the documents folder.
VELMORUTILS_API String GetJobDBPath();
VELMORUTILS_API String GetDefaultJobDBPath();
VELMORUTILS_API String GetIEFilePath();
VELMORUTILS_API String GetQV3000FilePathForExport();
VELMORUTILS_API String GetRQ3FilePath();
VELMORUTILS_API String GetImageDataPath();
VELMORUTILS_API String GetCameraDataPath();

// The settings folder "vlm_setup" in the application folder, created on first use and cached.
VELMORUTILS_API String GetUserSettingsPath();
VELMORUTILS_API String GetLastGeoidsPath();
VELMORUTILS_API String GetLastBackgroundImagesPath();

// The program's own folder in the temporary folder, created on first use and cached.
VELMORUTILS_API String GetTempOrvanePath();

// Coordinate-transformation files.
namespace AppStrXForm {
VELMORUTILS_API String GetVmGeoFolder();      // ends with "\"
VELMORUTILS_API String GetVmUserGeoFolder();  // ends with "\"
VELMORUTILS_API String GetVmAplFileName();
}  // namespace AppStrXForm

}  // namespace AppStrPaths

// The base folders are also known without the namespace.
using AppStrPaths::GetApplicationPath;
using AppStrPaths::GetDocsDir;
using AppStrPaths::GetExeDir;
using AppStrPaths::GetRootDir;
using AppStrPaths::GetTempDir;
