#include "velmorutils/platform/FileChooser.h"

#include <utility>

namespace zel_platform {

namespace {
FileChooser& installedChooser() {
    static FileChooser chooser;
    return chooser;
}
}  // namespace

FileChooser SetFileChooser(FileChooser chooser) {
    FileChooser previous = std::move(installedChooser());
    installedChooser() = std::move(chooser);
    return previous;
}

const FileChooser& GetFileChooser() {
    return installedChooser();
}

}  // namespace zel_platform
