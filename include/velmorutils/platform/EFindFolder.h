#pragma once

// What a folder listing collects: bit 1 files, bit 2 folders.
enum EFindFolder {
    eFindFiles = 1,
    eFindFolders = 2,
    eFindFilesAndFolders = 3,
};
