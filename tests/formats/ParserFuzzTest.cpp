#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/velmorutils.h"

using zel_text::CZelStringT;

// Arbitrary bytes, embedded zeros included, fed to every parser. Under the sanitizers this shows
// that none reads past its input; the checks hold the failure contracts and simple invariants.
namespace {

class ArbitraryText {
public:
    explicit ArbitraryText(unsigned seed) : m_rng(seed) {}

    std::string next() {
        const int length = std::uniform_int_distribution<int>(0, 40)(m_rng);
        std::string text;
        // Mostly characters the parsers react to, so that deep paths are reached too.
        static const char kInteresting[] = "0123456789.,+-: \t\r\n;/_AEMSWx";
        for (int i = 0; i < length; ++i) {
            if (m_rng() % 4 == 0) {
                text += static_cast<char>(m_rng() % 256);
            } else {
                text += kInteresting[m_rng() % (sizeof kInteresting - 1)];
            }
        }
        return text;
    }

private:
    std::mt19937 m_rng;
};

bool hasLineBreak(const CZelStringT<char>& s) {
    const std::string text(s, static_cast<size_t>(s.GetLength()));
    return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

TEST(ParserFuzz, ArbitraryBytesGiveFailureResultsNeverOverruns) {
    ArbitraryText gen(2024);
    for (int round = 0; round < 20000; ++round) {
        const std::string raw = gen.next();
        const CZelStringT<char> text(raw.data(), static_cast<int>(raw.size()));
        const char* c = text;

        double v = 1.0;
        EXPECT_EQ(StringToDouble(c, v) == 0 ? v : 0.0, 0.0);  // a failure leaves 0
        int i = 1;
        EXPECT_EQ(StringToInt(c, i) == 0 ? i : 0, 0);
        short sh = 1;
        StringToShort(c, sh);
        double chainage = 42.0;
        EXPECT_EQ(StnFromString(text, chainage, 100.0) == 0 ? chainage : 42.0, 42.0);
        CheckValidDMSVal(text, "90", round % 2 == 0);
        AngleToRad(text, text, text);

        const int type = getTextValType(c);
        EXPECT_GE(type, tvtText);
        EXPECT_LE(type, tvtDateTime);
        CheckFormat(c, "9999-99-99");

        CZelStringArray fields;
        const bool clean = ParseValues(text, fields, ';', "/");
        EXPECT_TRUE(clean || raw.find('/') != std::string::npos);
        EXPECT_TRUE(!clean || fields.GetSize() >= 1);
        for (int f = 0; f < fields.GetSize(); ++f) {
            EXPECT_FALSE(hasLineBreak(fields[f]));
            EXPECT_LT(fields[f].Find('/'), 0);
        }
        fields.RemoveAll();
        EXPECT_TRUE(ParseDelimitersValues(text, fields, ",; "));

        CZelStringT<char> tokens(text);
        int pos = 0, count = 0;
        while (pos >= 0 && count <= tokens.GetLength() + 1) {
            Tokenize(tokens, ",; ", pos);
            ++count;
        }
        EXPECT_EQ(pos, -1);

        CZelStringT<char> out;
        const int runs = replaceChars(c, " \t", "_", out);
        EXPECT_LE(out.GetLength(), static_cast<int>(std::strlen(c)));
        EXPECT_LE(runs, static_cast<int>(std::strlen(c)));

        const CZelStringT<char> name = MakePointNameCorrect(text);
        EXPECT_LE(name.GetLength(), 20);
        EXPECT_LT(name.FindOneOf("!,?%*@#$^&'\"\\/|~;[]{}()<>`\t\r\n+="), 0);
        IsValidName(text);
        OmniStarSatNameToEnum(text);
        OmniStarHPSubscriptionToString(text, out);
        ObjName::normalizeName(out, text);
    }
}

TEST(ParserFuzz, OverlongInputIsReadWhole) {
    const std::string digits(200000, '7');
    double v = 0.0;
    EXPECT_EQ(StringToDouble(digits.c_str(), v), 1);
    EXPECT_TRUE(std::isinf(v));
    EXPECT_EQ(getTextValType(digits.c_str()), tvtInteger);
    EXPECT_EQ(getTextValType((digits + ".5").c_str()), tvtReal);
    EXPECT_FALSE(CheckValidDMSVal(digits.c_str(), "360", true));
    double c = 1.0;
    StnFromString((digits + "+1").c_str(), c, 100.0);  // any result, but no overrun
    EXPECT_EQ(StnFromString(CZelStringT<char>('+', 100000), c, 100.0), 0);
    CZelStringArray fields;
    EXPECT_TRUE(ParseValues(CZelStringT<char>(';', 5000), fields, ';', ""));
    EXPECT_EQ(fields.GetSize(), 1);  // a leading delimiter does not split
}

TEST(ParserFuzz, ReadLineOverArbitraryFiles) {
    FilesScratch dir;
    ArbitraryText gen(77);
    for (int round = 0; round < 300; ++round) {
        std::string contents;
        for (int part = 0; part < 8; ++part)
            contents += gen.next();
        dir.write("fuzz.bin", contents);
        CFile file;
        ASSERT_TRUE(file.Open(dir.app("fuzz.bin").c_str(), CFile::modeRead));
        const std::int64_t length = file.GetLength();
        ASSERT_EQ(length, static_cast<std::int64_t>(contents.size()));
        CZelStringT<char> line;
        std::int64_t read = 0;
        for (int guard = 0; guard <= length + 1; ++guard) {
            ReadLine(file, line);
            EXPECT_FALSE(hasLineBreak(line));
            read += line.GetLength();
            if (file.GetPosition() >= length && line.IsEmpty()) break;
        }
        EXPECT_EQ(file.GetPosition(), length);
        EXPECT_LE(read, length);
    }
}
