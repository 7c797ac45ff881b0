#include "velmorutils/utils/AppStrPaths.h"

#include "velmorutils/platform/FileSystem.h"
#include "velmorutils/utils/AppDirs.h"
#include "velmorutils/utils/FileFuncs.h"

namespace AppStrPaths {

namespace {

String join(const String& base, const char* tail) {
    String path(base);
    path += tail;
    return path;
}

// The folders are marked hidden as they were on the original platform. Hidden has no meaning
// on POSIX (only a leading dot in the name hides), so the mark is asked for and has no effect:
// the folders keep the names callers expect.
void markHidden(const String& folder) {
    const std::uint32_t attributes = zel_platform::GetFileAttributes(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    zel_platform::SetFileAttributes(folder, attributes | FILE_ATTRIBUTE_HIDDEN);
}

String makeUserSettingsPath() {
    String path = GetRootDir();
    if (path.ReverseFind('\\') != path.GetLength() - 1) path += "\\";
    path += "vlm_setup";
    FileFuncs::CreateDir(path);
    markHidden(path);
    return path;
}

String makeTempOrvanePath() {
    const String temp = GetTempDir();
    if (!FileFuncs::IsDirExist(temp)) FileFuncs::CreateDir(temp);
    String path = temp;
    path += "\\";
    path += GetProgramName();
    if (!FileFuncs::IsDirExist(path)) FileFuncs::CreateDir(path);
    markHidden(path);
    return path;
}

}  // namespace

String GetRootDir() {
    return GetAppDir();
}
String GetExeDir() {
    return GetRootDir();
}
String GetApplicationPath() {
    return GetRootDir();
}
String GetDocsDir() {
    return GetUserDir();
}
String GetTempDir() {
    return String(zel_platform::GetTempPath().c_str());
}

String GetJobExt() {
    return String(".vmjob");
}
String GetJobExtensionName() {
    return String(".vmjob");
}
String GetInitialJobName() {
    return String("initial.ti0");
}
String GetInitialJobVersionName() {
    return String("jobversion.");
}
String GetStylesDBName() {
    return String("Styles.vmstyles");
}
String GetProgramName() {
    return String("Velmor");
}
String GetMainHelpName() {
    return String("velmor.htm");
}
String GetGpsHelpName() {
    return String("vlmGps.htm");
}
String GetTsHelpName() {
    return String("vlmTs.htm");
}
String GetCogoHelpName() {
    return String("vlmCogo.htm");
}
String GetQuorixHelpName() {
    return String("Quorix.htm");
}
String GetDarvoHelpName() {
    return String("Darvo.htm");
}
String GetRQ3Ext() {
    return String(".rq3");
}
String GetRQ3ExtensionName() {
    return String("rq3");
}
String GetImageExt() {
    return String(".jpg");
}
String GetCameraExt() {
    return String(".cmr");
}
String GetScanFileExt() {
    return String(".dbs");
}
String GetIMCFileExt() {
    return String(".imc");
}

// These four name the application folder itself: the file names are added by their users.
String GetLogFilePath() {
    return GetRootDir();
}
String GetStylesDBPath() {
    return GetRootDir();
}
String GetInitialJobPath() {
    return GetRootDir();
}
String GetInitialJobVersionPath() {
    return GetRootDir();
}
String GetSessionSettingsPath() {
    return join(GetRootDir(), "\\FileSettings");
}
String GetIESettingsPath() {
    return join(GetRootDir(), "\\FileSettings");
}
String GetCodeLibraryPath() {
    return join(GetRootDir(), "\\IEFiles");
}
String GetUserDefinedAntennaFilePath() {
    return join(GetRootDir(), "\\antennas\\userdefined");
}
String GetRowDataPath() {
    return join(GetRootDir(), "\\RawData");
}
String GetLngFilePath() {
    return join(GetExeDir(), "\\Lng");
}
String GetAntennaFilePath() {
    return join(GetExeDir(), "\\antennas");
}
String GetPreDefinedAntennaFilePath() {
    return join(GetExeDir(), "\\antennas\\antenna_db.xml");
}
String GetSoundFilePath() {
    return join(GetExeDir(), "\\sounds");
}
String GetCustomDevicesPath() {
    return join(GetExeDir(), "\\CustomDevices");
}
String GetGeoidsListPath() {
    return join(GetExeDir(), "\\Geoids");
}

String GetJobDBPath() {
    return join(GetDocsDir(), "\\Jobs");
}
String GetDefaultJobDBPath() {
    return join(join(GetJobDBPath(), "\\Default"), GetJobExt());
}
String GetIEFilePath() {
    return join(GetDocsDir(), "\\IEFiles");
}
String GetQV3000FilePathForExport() {
    return join(GetIEFilePath(), "\\QV3000");
}
String GetRQ3FilePath() {
    return join(GetDocsDir(), "\\DTM");
}
String GetImageDataPath() {
    return join(GetDocsDir(), "\\Images");
}
String GetCameraDataPath() {
    return join(GetDocsDir(), "\\Camera");
}

// Computed once and kept to process exit: a change of the base folders later in the run is
// deliberately not seen. The first call is meant to come from one thread.
String GetUserSettingsPath() {
    static const String path = makeUserSettingsPath();
    return path;
}

String GetLastGeoidsPath() {
    return join(GetUserSettingsPath(), "\\lastgeoids");
}
String GetLastBackgroundImagesPath() {
    return join(GetUserSettingsPath(), "\\lastBkgndImages");
}

String GetTempOrvanePath() {
    static const String path = makeTempOrvanePath();
    return path;
}

namespace AppStrXForm {
String GetVmGeoFolder() {
    return join(GetExeDir(), "\\Geo\\");
}
String GetVmUserGeoFolder() {
    return join(GetRootDir(), "\\Geo\\");
}
String GetVmAplFileName() {
    return join(GetVmUserGeoFolder(), "_apl2_.ini");
}
}  // namespace AppStrXForm

}  // namespace AppStrPaths
