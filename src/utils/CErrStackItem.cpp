#include "velmorutils/utils/CErrStackItem.h"

#include "velmorutils/utils/Logging.h"

namespace {

// The most recently constructed live item. Unguarded: items belong to one thread at a time.
CErrStackItem* g_top = nullptr;

const char* Text(const char* s) {
    return s ? s : "";
}

}  // namespace

CErrStackItem* CErrStackItem::static_get_top() {
    return g_top;
}

void CErrStackItem::static_set_top(CErrStackItem* item) {
    g_top = item;
}

CErrStackItem::CErrStackItem(const char* file, const char* function, int line)
    : m_file(file), m_function(function), m_line(line), m_prev(static_get_top()), m_ok(true) {
    static_set_top(this);
}

CErrStackItem::~CErrStackItem() {
    static_set_top(m_prev);
}

void CErrStackItem::set(bool ok) {
    if (!m_ok) return;
    m_ok = ok;
    if (ok) return;
    LOGMESSAGE(5, "%s(%d): error in %s", Text(m_file), static_cast<int>(m_line), Text(m_function));

    // The chain is listed from below the top: for the innermost item that is its caller.
    CErrStackItem* caller = static_get_top() ? static_get_top()->m_prev : nullptr;
    if (!caller) return;
    LOGMESSAGE("\t****Call stack****", 0);
    for (; caller; caller = caller->m_prev) {
        caller->m_ok = false;
        LOGMESSAGE(0, "\t%s: %s(%d)", Text(caller->m_function), Text(caller->m_file),
                   static_cast<int>(caller->m_line));
    }
    LOGMESSAGE("\t******************", 0);
}

bool CErrStackItem::operator=(bool ok) {
    set(ok);
    return get();
}
