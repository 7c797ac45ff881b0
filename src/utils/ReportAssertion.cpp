#include "velmorutils/utils/ReportAssertion.h"

#include "velmorutils/utils/Logging.h"

void ReportAssertion(const char* source, int line) {
    LOGMESSAGE(2, "*** error in %s, line %d", source ? source : "", line);
}
