#include "velmorutils/utils/ReportAssertion.h"

#include "velmorutils/platform/FailureReport.h"
#include "velmorutils/utils/Logging.h"

void ReportAssertion(const char* source, int line) {
    LOGMESSAGE(2, "*** error in %s, line %d", source ? source : "", line);
}

namespace {

// The heap and the containers report through the platform hook; from the moment the library is
// loaded their reports take this same path into the log. Installed by a static initialiser
// because nothing below this layer may call up to install it on first use.
[[maybe_unused]] const bool g_lowLayersReportHere =
    (zel_platform::SetFailureReporter(&ReportAssertion), true);

}  // namespace
