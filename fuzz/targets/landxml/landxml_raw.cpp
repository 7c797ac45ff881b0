#include <string>

#include "../../FuzzTarget.h"
#include "velmorutils/landxml/Model.h"

// The LandXML reader on raw bytes. A document it accepts is written again, and what is written
// reads back and writes to the same text: exports always read back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using velmor_fuzz::check;
    const std::string text(reinterpret_cast<const char*>(data), size);
    zel_landxml::Document doc;
    std::string error;
    if (!zel_landxml::parse(text, doc, error)) {
        check(!error.empty(), "a refusal says why");
        return 0;
    }
    const std::string written = zel_landxml::write(doc, zel_landxml::LinearUnit::Meter);
    zel_landxml::Document back;
    check(zel_landxml::parse(written, back, error), "a written document reads back");
    check(zel_landxml::write(back, zel_landxml::LinearUnit::Meter) == written,
          "a written document reads back to the same text");
    return 0;
}
