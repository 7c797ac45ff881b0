#include "velmorutils/utils/SettingsFile.h"

#include "velmorutils/utils/AppStrPaths.h"
#include "velmorutils/utils/FileFuncs.h"

namespace {

zel_text::CZelStringT<char> SettingsFolder() {
    return AppStrPaths::GetRootDir() + "\\Settings";
}

}  // namespace

bool LoadSettingsFile(const zel_text::CZelStringT<char>& name, CINIFile& ini) {
    return ini.LoadIni(SettingsFolder() + "\\" + name);
}

bool SaveSettingsFile(const zel_text::CZelStringT<char>& name, const CINIFile& ini) {
    const zel_text::CZelStringT<char> folder = SettingsFolder();
    if (!FileFuncs::IsDirExist(folder) && !FileFuncs::CreateDir(folder)) return false;
    return ini.SaveIni(folder + "\\" + name);
}
