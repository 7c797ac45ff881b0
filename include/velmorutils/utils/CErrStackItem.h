#pragma once

#include <cstdint>

#include "velmorutils/platform/Export.h"

// A status flag a function keeps on its stack. Live items chain into one process-wide stack;
// when the innermost item records a failure it logs "file(line): error in function" (level 5)
// and the chain of its callers (level 0), and marks every caller failed, so a failure is reported
// once, where it happened. Items must be destroyed in reverse order of construction.
class VELMORUTILS_API CErrStackItem {
public:
    CErrStackItem(const char* file, const char* function, int line);
    ~CErrStackItem();

    CErrStackItem(const CErrStackItem&) = delete;
    CErrStackItem& operator=(const CErrStackItem&) = delete;

    // A failed item stays failed and reports only once.
    void set(bool ok);
    void setCurLine(int line) { m_line = line; }
    bool get() const { return m_ok; }
    operator bool() const { return m_ok; }
    bool operator=(bool ok);

private:
    static CErrStackItem* static_get_top();
    static void static_set_top(CErrStackItem* item);

    const char* m_file;
    const char* m_function;
    std::int32_t m_line;
    CErrStackItem* m_prev;
    bool m_ok;
};
