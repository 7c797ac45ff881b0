#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "velmorutils/platform/Export.h"

// Writes a file whole or not at all. The text goes to a new temporary file in the target's own
// folder (so the final rename never crosses file systems); Commit() flushes it, forces it to the
// disk (fsync), closes it and renames it over the target in one step, then syncs the folder.
// Until Commit() succeeds the target keeps its previous bytes exactly: a full disk, a file-size
// limit, a killed process or a failed write leaves at worst a stray temporary, which the
// destructor removes when it can. The replaced file keeps its permission bits; a target that is
// a symbolic link is resolved, so the file it points to is replaced and the link stays. An
// existing target that is not a regular file (/dev/stdout, a pipe, a terminal) cannot be
// replaced and is written directly; Commit() still reports any failed write to it.
//
// Needs permission to create files in the target's folder, not only to write the target.
// Paths may use "\" or "/" as separators.
//
// For a tool's output files (--out, --svg and the like):
//
//     CAtomicFileWriter out(path);
//     if (!out.IsOpen()) return fail(out.ErrorText());
//     std::fprintf(out.File(), ...);          // or out.Write(text)
//     if (!out.Commit()) return fail(out.ErrorText());
//
// Return early without Commit() on any error of your own: the destructor throws the
// temporary away and the user's previous file stays as it was. Never write the target with
// fopen(path, "w") first: that truncates it before anything is known to succeed.
class VELMORUTILS_API CAtomicFileWriter {
public:
    explicit CAtomicFileWriter(const char* path);
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    // Whether the temporary is open for writing (false after Commit() and Abandon()).
    bool IsOpen() const { return m_file != nullptr; }
    // The stream of the temporary for fprintf and friends; null when not open. Its write errors
    // are noticed by Commit().
    std::FILE* File() const { return m_file; }
    // False (and the writer is spoiled, so Commit() fails) when not all bytes could be written.
    bool Write(const void* data, std::size_t size);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    // Makes the written bytes the target's contents. False, with the target unchanged and the
    // temporary removed, when anything failed since the writer was made.
    bool Commit();
    // Throws the temporary away; the target stays as it was.
    void Abandon();

    // The target as resolved (native separators, symbolic link followed).
    const std::string& TargetPath() const { return m_target; }
    // What failed, naming the file and the system's reason; empty while all is well.
    const std::string& ErrorText() const { return m_error; }

private:
    bool Open(const char* path);
    bool OpenDirect();
    bool Fail(const std::string& what, int err);

    std::string m_target;
    std::string m_temp;
    std::FILE* m_file = nullptr;
    bool m_direct = false;  // an existing device or pipe, written in place
    std::string m_error;
};

// The whole of data as the new contents of path, by CAtomicFileWriter. False, with the previous
// file unchanged, when it could not be written; error (when given) then says why.
VELMORUTILS_API bool WriteFileWhole(const char* path, const void* data, std::size_t size,
                                    std::string* error = nullptr);
