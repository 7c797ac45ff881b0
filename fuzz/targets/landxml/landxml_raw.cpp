#include <string>

#include "LandXmlChecks.h"

// The LandXML reader on arbitrary bytes: a refusal names its line; a document that reads builds
// (or is refused with a message), its positions and heights are finite and within the reader's
// bounds, and it writes and reads back to the same geometry in its own unit and in another.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    landxml_fuzz::checkText(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
