#include "velmorutils/utils/ReportAssertion.h"

#include <cstdio>

// Until the process log exists the report goes to standard error in the log's wording.
void ReportAssertion(const char* source, int line) {
    std::fprintf(stderr, "*** error in %s, line %d\n", source ? source : "", line);
}
