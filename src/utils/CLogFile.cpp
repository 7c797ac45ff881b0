#include "velmorutils/utils/CLogFile.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <ctime>

#include "velmorutils/platform/DebugOutput.h"
#include "velmorutils/platform/FileSystem.h"
#include "velmorutils/platform/TickCount.h"

namespace {

constexpr long kModeFileNamed = 1;
constexpr long kModeFileUnnamed = 2;
constexpr long kModeFileTimed = 4;
constexpr long kModeDeleteUnused = 8;
constexpr long kModeAppend = 16;
constexpr long kModeDebugger = 64;
constexpr long kModeAnyFile = kModeFileNamed | kModeFileUnnamed | kModeFileTimed;

constexpr long kFormatElapsed = 2;
constexpr long kFormatLevel = 4;
constexpr long kFormatNumber = 8;
constexpr long kFormatIndent = 256;

// Copies at most kMaxFileName characters; longer names are cut.
void CopyName(char* dest, const char* src) {
    std::snprintf(dest, CLogFile::kMaxFileName + 1, "%s", src ? src : "");
}

// Six digits HHmmss of the local time now.
void FormatLocalTime(char (&out)[8]) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local) || std::strftime(out, sizeof out, "%H%M%S", &local) != 6) {
        std::snprintf(out, sizeof out, "000000");
    }
}

// Appends text to a line buffer of CLogFile::kBufferSize, keeping room for the line end and the
// terminator: a message longer than the buffer is cut, never written past its end.
void AppendToLine(char* line, int& used, const char* text) {
    constexpr int kRoom = CLogFile::kBufferSize - 2;
    const int free = kRoom - used;
    if (free <= 0) return;
    const int n = static_cast<int>(strnlen(text, static_cast<std::size_t>(free)));
    std::memcpy(line + used, text, static_cast<std::size_t>(n));
    used += n;
    line[used] = '\0';
}

}  // namespace

CLogFile::CLogFile()
    : m_file(nullptr),
      m_format(0),
      m_level(0),
      m_status(kStopped),
      m_mode(0),
      m_count(0),
      m_startTicks(0),
      m_fileName{},
      m_wasEmpty(false),
      m_toFile(false),
      m_line{},
      m_message{},
      m_prefix{},
      m_debug{} {}

CLogFile::CLogFile(const CLogFile& other) : CLogFile() {
    *this = other;
}

CLogFile::~CLogFile() {
    StopMT();
}

CLogFile& CLogFile::operator=(const CLogFile& other) {
    if (this == &other) return *this;
    std::scoped_lock both(m_lock, other.m_lock);
    CloseWithoutDeleting();
    CopyFieldsFrom(other);
    return *this;
}

void CLogFile::CopyFieldsFrom(const CLogFile& other) {
    m_format = other.m_format;
    m_level = other.m_level;
    m_status = other.m_status;
    m_mode = other.m_mode;
    m_count = other.m_count;
    m_startTicks = other.m_startTicks;
    std::memcpy(m_fileName, other.m_fileName, sizeof m_fileName);
    m_wasEmpty = other.m_wasEmpty;
    m_toFile = other.m_toFile;
    std::memcpy(m_line, other.m_line, sizeof m_line);
    std::memcpy(m_message, other.m_message, sizeof m_message);
    std::memcpy(m_prefix, other.m_prefix, sizeof m_prefix);
    std::memcpy(m_debug, other.m_debug, sizeof m_debug);
    // Sharing the other object's FILE would close it twice; the copy appends through its own.
    m_file = nullptr;
    if (other.m_file) {
        m_file = std::fopen(zel_platform::toNativePath(m_fileName).c_str(), "a");
        if (!m_file) m_status = kStopped;
    }
}

void CLogFile::CloseWithoutDeleting() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    m_status = kStopped;
}

long CLogFile::Start(const char* name, long mode, long format, long level) {
    std::lock_guard guard(m_lock);
    return StartMT(name, mode, format, level);
}

long CLogFile::Start(long mode, long format, long level) {
    return Start("", mode, format, level);
}

long CLogFile::StartMT(const char* name, long mode, long format, long level) {
    if (m_status != kStopped) return 4;
    m_mode = static_cast<std::int32_t>(mode);
    m_format = static_cast<std::int32_t>(format);
    m_level = static_cast<std::int32_t>(level);
    m_count = 0;
    if (mode == 0) return 6;

    m_toFile = (mode & kModeAnyFile) != 0;
    m_startTicks = zel_platform::GetTickCount32();

    char fileName[kMaxFileName + 1] = "";
    if (!(mode & kModeFileUnnamed)) {
        if (mode & kModeFileTimed) {
            char hhmmss[8];
            FormatLocalTime(hhmmss);
            std::snprintf(fileName, sizeof fileName, "%s%s", name ? name : "", hhmmss);
        } else if (mode & kModeFileNamed) {
            CopyName(fileName, name);
        }
    }

    if (!m_toFile) {
        if (!(mode & kModeDebugger)) return 5;
        m_status = kRunning;
        return 0;
    }

    // A file without a name is never opened.
    std::FILE* file = fileName[0] ? std::fopen(zel_platform::toNativePath(fileName).c_str(),
                                               (mode & kModeAppend) ? "a" : "w")
                                  : nullptr;
    if (!file) return 1;

    m_file = file;
    CopyName(m_fileName, fileName);
    m_status = kRunning;
    std::fseek(m_file, 0, SEEK_END);
    m_wasEmpty = std::ftell(m_file) == 0;
    return 0;
}

long CLogFile::LogMessage(const char* text, long level) {
    std::lock_guard guard(m_lock);
    return LogMessageMT(text, level);
}

long CLogFile::LogMessage(long level, const char* fmt, ...) {
    // The message buffer belongs to the object, so it is filled under the object's lock too:
    // formatted calls from several threads then need no outside serialisation.
    std::lock_guard guard(m_lock);
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(m_message, sizeof m_message, fmt ? fmt : "", args);
    va_end(args);
    return LogMessageMT(m_message, level);
}

void CLogFile::BuildLine(const char* text, long level) {
    int used = 0;
    m_line[0] = '\0';
    if (m_format & kFormatNumber) {
        std::snprintf(m_prefix, sizeof m_prefix, "%4ld - ", static_cast<long>(m_count));
        AppendToLine(m_line, used, m_prefix);
    }
    if (m_format & kFormatElapsed) {
        const std::uint32_t elapsed = zel_platform::GetTickCount32() - m_startTicks;
        std::snprintf(m_prefix, sizeof m_prefix, "(%.3lf) - ", elapsed / 1000.0);
        AppendToLine(m_line, used, m_prefix);
    }
    if (m_format & kFormatLevel) {
        std::snprintf(m_prefix, sizeof m_prefix, "<%ld> - ", level);
        AppendToLine(m_line, used, m_prefix);
    }
    if (m_format & kFormatIndent) {
        // "%*s" of " ": 3 x level wide (left-aligned for a negative level), bounded by the line.
        const long long width = std::clamp(3LL * level, -(kBufferSize - 1LL), kBufferSize - 1LL);
        std::snprintf(m_prefix, sizeof m_prefix, "%*s", static_cast<int>(width), " ");
        AppendToLine(m_line, used, m_prefix);
    }
    AppendToLine(m_line, used, text ? text : "");
    m_line[used] = '\n';
    m_line[used + 1] = '\0';
}

long CLogFile::LogMessageMT(const char* text, long level) {
    if (m_status != kRunning || m_level < 0 || level > m_level) return 0;
    ++m_count;
    BuildLine(text, level);
    if (m_toFile && m_file) {
        std::fputs(m_line, m_file);
        std::fflush(m_file);
    }
    if (m_mode & kModeDebugger) {
        std::snprintf(m_debug, sizeof m_debug, "%s", m_line);
        zel_platform::OutputDebugText(m_debug);
    }
    return 0;
}

long CLogFile::Stop() {
    std::lock_guard guard(m_lock);
    return StopMT();
}

long CLogFile::StopMT() {
    if (!m_toFile || m_status == kStopped || !m_file) return 2;
    std::fclose(m_file);
    m_file = nullptr;
    if ((m_mode & kModeDeleteUnused) && m_wasEmpty && m_count == 0) {
        std::remove(zel_platform::toNativePath(m_fileName).c_str());
    }
    m_status = kStopped;
    return 0;
}

long CLogFile::Pause() {
    std::lock_guard guard(m_lock);
    if (m_status != kRunning) return 2;
    m_status = kPaused;
    return 0;
}

long CLogFile::Continue() {
    std::lock_guard guard(m_lock);
    if (m_status != kPaused) return 3;
    m_status = kRunning;
    return 0;
}

void CLogFile::SetLevel(long level) {
    std::lock_guard guard(m_lock);
    m_level = static_cast<std::int32_t>(level);
}

long CLogFile::GetMode() const {
    std::lock_guard guard(m_lock);
    return m_mode;
}

long CLogFile::GetLevel() const {
    std::lock_guard guard(m_lock);
    return m_level;
}

long CLogFile::GetStatus() const {
    std::lock_guard guard(m_lock);
    return m_status;
}

const char* CLogFile::GetFilename() const {
    std::lock_guard guard(m_lock);
    return m_fileName;
}
