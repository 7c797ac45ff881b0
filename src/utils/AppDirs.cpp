#include "velmorutils/utils/AppDirs.h"

#include <string>

#include "velmorutils/platform/FileSystem.h"

namespace {

// Plain std::string so that setting a folder needs nothing from the library heap's strings
// during static initialisation of a caller.
std::string& appDirOverride() {
    static std::string folder;
    return folder;
}

std::string& userDirOverride() {
    static std::string folder;
    return folder;
}

}  // namespace

zel_text::CZelStringT<char> GetAppDir() {
    const std::string& set = appDirOverride();
    return zel_text::CZelStringT<char>(
        (set.empty() ? zel_platform::GetExecutableDir() : set).c_str());
}

zel_text::CZelStringT<char> GetUserDir() {
    const std::string& set = userDirOverride();
    return zel_text::CZelStringT<char>(
        (set.empty() ? zel_platform::GetDocumentsDir() : set).c_str());
}

void SetAppDir(const char* folder) {
    appDirOverride() = folder ? folder : "";
}

void SetUserDir(const char* folder) {
    userDirOverride() = folder ? folder : "";
}
