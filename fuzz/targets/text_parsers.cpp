#include <cmath>
#include <cstring>
#include <string>

#include "../FuzzTarget.h"
#include "velmorutils/formats/CorrectionService.h"
#include "velmorutils/formats/NumberParsing.h"
#include "velmorutils/formats/TextLists.h"
#include "velmorutils/formats/TextValidation.h"
#include "velmorutils/formats/ValueFormats.h"

// The text parsers of the value formats on arbitrary text, and the formatters on arbitrary
// doubles (NaN, infinities and 1e308 included): none may read past its input, hang or divide
// by zero, and each keeps its failure contract.
namespace {

using velmor_fuzz::ByteReader;
using velmor_fuzz::check;
using Str = zel_text::CZelStringT<char>;

bool hasLineBreak(const Str& s) {
    return std::string(s, static_cast<size_t>(s.GetLength())).find_first_of("\r\n") !=
           std::string::npos;
}

void parsers(const Str& text) {
    const char* c = text;
    double v = 1.0;
    check(StringToDouble(c, v) == 1 || v == 0.0, "a failed StringToDouble leaves 0");
    float f = 1.0f;
    StringToFloat(c, f);
    int i = 1;
    check(StringToInt(c, i) == 1 || i == 0, "a failed StringToInt leaves 0");
    long l = 1;
    StringToLong(c, l);
    unsigned u = 1;
    StringToUint(c, u);
    short sh = 1;
    StringToShort(c, sh);
    StringToDouble(text);
    StringToFloat(text);
    StringToInt(text);
    const Str dotted = ReplaceCommasWithDecPt(text);
    check(dotted.GetLength() == text.GetLength() && dotted.Find(',') < 0, "commas replaced");

    for (const double station : {100.0, 1000.0, 20.0, 0.0, -100.0}) {
        double chainage = 42.0;
        check(StnFromString(text, chainage, station) == 1 || chainage == 42.0,
              "a failed StnFromString leaves the chainage");
    }
    CheckValidDMSVal(text, "90", true);
    CheckValidDMSVal(text, "360", false);
    CheckValidDMSVal("12.3015", text, true);
    AngleToRad(text, text, text);
    DDDMMSS2Deg(StringToDouble(text));

    const int type = getTextValType(c);
    check(type >= tvtText && type <= tvtDateTime, "text type in range");
    CheckFormat(c, "9999-99-99");
    CheckFormat("2024-02-29", c);
    IsValidName(text);
    Str fileName(text);
    IsValidFilename(fileName);
    const Str name = MakePointNameCorrect(text);
    check(name.GetLength() <= 20, "point name at most 20 characters");

    CZelStringArray fields;
    ParseValues(text, fields, ';', "/");
    for (int k = 0; k < fields.GetSize(); ++k)
        check(!hasLineBreak(fields[k]), "a field holds a line break");
    fields.RemoveAll();
    ParseDelimitersValues(text, fields, ",; ");
    Str tokens(text);
    int pos = 0, count = 0;
    while (pos >= 0 && count++ <= tokens.GetLength() + 1)
        Tokenize(tokens, ",; ", pos);
    check(pos == -1, "Tokenize ends");
    Str out;
    const int runs = replaceChars(c, " \t", "_", out);
    check(runs <= static_cast<int>(std::strlen(c)), "replaceChars runs");
    OmniStarSatNameToEnum(text);
    OmniStarHPSubscriptionToString(text, out);
}

void formatters(ByteReader& in) {
    const double d = in.anyDouble();
    const double station = in.anyDouble();
    const int decimals = in.intIn(-2, 20);
    AngleToString(d);
    ShortAngleToString(d);
    AngleToStringDDDMMSS(d);
    LatitudeToString(d, true);
    LongitudeToString(d, false);
    TimeToString(d);
    DoubleToString(d);
    DoubleToString(d, decimals);
    FormatFloat(d, decimals);
    AltitudeToString(d);
    Deg2DDDMMSS(d, decimals);
    DDDMMSS2String(d);
    StnToString(d, station);
    StnToString(d, 100.0);
    int deg = static_cast<int>(in.u32()), min = static_cast<int>(in.u32());
    double sec = d;
    check60round(deg, min, sec, decimals);
    Str text;
    QuilSubscriptionToString(static_cast<long>(static_cast<int>(in.u32())), text);
    // A station written for the stake-out reads back to the same chainage (to the printed
    // centimetre) wherever the text form is a plain number.
    if (std::isfinite(d) && std::fabs(d) < 1e9) {
        double back = 0.0;
        check(StnFromString(StnToString(d, 100.0), back, 100.0) == 1, "station text reads back");
        check(std::fabs(back - d) <= 0.0051, "station text reads back to its chainage");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    const bool numbers = in.byte() % 2 == 1;
    if (numbers) {
        while (!in.empty())
            formatters(in);
        return 0;
    }
    const std::string raw = in.rest();
    parsers(Str(raw.data(), static_cast<int>(raw.size())));
    return 0;
}
