#include "velmorutils/utils/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "velmorutils/platform/FileSystem.h"

namespace {

// Attempts at a free temporary name before giving up; names collide only with leftovers.
constexpr int kTempNameAttempts = 100;

std::atomic<unsigned> tempCounter{0};

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A link is replaced by the file it names, not by a regular file of the link's name.
std::string resolveLink(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;
    return resolved;
}

// The rename is durable only once the folder entry is on the disk too. Some file systems
// cannot sync a folder; the data itself is already safe then, so that is not a failure.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

CAtomicFileWriter::CAtomicFileWriter(const char* path) {
    Open(path);
}

CAtomicFileWriter::~CAtomicFileWriter() {
    Abandon();
}

bool CAtomicFileWriter::Fail(const std::string& what, int err) {
    if (m_error.empty()) {
        m_error = what;
        if (err != 0) m_error += ": " + std::string(std::strerror(err));
    }
    Abandon();
    return false;
}

bool CAtomicFileWriter::Open(const char* path) {
    if (path == nullptr || *path == '\0') return Fail("no file name given", 0);
    m_target = resolveLink(zel_platform::toNativePath(path));
    struct stat st;
    const bool exists = ::stat(m_target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return Fail(m_target + " is a directory", 0);
    // A device, pipe or terminal (/dev/stdout, /dev/null, a FIFO) cannot be replaced by a file:
    // it is written directly, and Commit() still reports every failed write.
    if (exists && !S_ISREG(st.st_mode)) return OpenDirect();
    const std::string stem =
        folderOf(m_target) + "/." + baseOf(m_target) + ".tmp" + std::to_string(::getpid()) + "-";
    int fd = -1;
    for (int attempt = 0; attempt < kTempNameAttempts && fd < 0; ++attempt) {
        m_temp = stem + std::to_string(tempCounter.fetch_add(1));
        // 0666 before the umask: a new file gets the permissions any other new file would.
        fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        const int err = errno;
        m_temp.clear();
        return Fail("cannot create a temporary file beside " + m_target, err);
    }
    if (exists) ::fchmod(fd, st.st_mode & 07777);  // best effort: the data matters more
    m_file = ::fdopen(fd, "wb");
    if (m_file == nullptr) {
        const int err = errno;
        ::close(fd);
        return Fail("cannot write " + m_temp, err);
    }
    return true;
}

bool CAtomicFileWriter::OpenDirect() {
    m_direct = true;
    m_file = std::fopen(m_target.c_str(), "wb");
    if (m_file == nullptr) return Fail("cannot write " + m_target, errno);
    return true;
}

bool CAtomicFileWriter::Write(const void* data, std::size_t size) {
    if (m_file == nullptr) return false;
    if (size == 0) return true;
    if (std::fwrite(data, 1, size, m_file) == size) return true;
    return Fail("cannot write " + m_target, errno);
}

bool CAtomicFileWriter::Commit() {
    if (m_file == nullptr) {
        if (m_error.empty()) m_error = "nothing to commit for " + m_target;
        return false;
    }
    // A buffered write fails at the flush; fsync makes the bytes durable before the rename
    // makes them the target's, so a crash can never leave the target empty.
    if (std::fflush(m_file) != 0 || std::ferror(m_file))
        return Fail("cannot write " + m_target, errno);
    // Pipes and terminals cannot be synced (EINVAL): for them the flush is the whole write.
    if (::fsync(::fileno(m_file)) != 0 && !(m_direct && errno == EINVAL))
        return Fail("cannot write " + m_target, errno);
    std::FILE* file = m_file;
    m_file = nullptr;
    if (std::fclose(file) != 0) return Fail("cannot write " + m_target, errno);
    if (m_direct) return true;
    if (std::rename(m_temp.c_str(), m_target.c_str()) != 0)
        return Fail("cannot replace " + m_target, errno);
    m_temp.clear();
    syncFolder(folderOf(m_target));
    return true;
}

void CAtomicFileWriter::Abandon() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

bool WriteFileWhole(const char* path, const void* data, std::size_t size, std::string* error) {
    CAtomicFileWriter writer(path);
    const bool ok = writer.Write(data, size) && writer.Commit();
    if (!ok && error != nullptr) *error = writer.ErrorText();
    return ok;
}
