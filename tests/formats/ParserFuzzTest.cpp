#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/velmorutils.h"

using zel_text::CZelStringT;

// Arbitrary bytes, embedded zeros included, fed to the parsers.
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

// The parsers' failure contracts on arbitrary text are the text_parsers fuzz target's (its corpus
// replays with the tests); here the promises it does not hold them to: a forbidden character
// ends a field list and is in no field, and a corrected point name keeps none of the characters
// a name may not hold.
TEST(ParserFuzz, ArbitraryBytesKeepTheFieldAndNameContracts) {
    ArbitraryText gen(2024);
    for (int round = 0; round < 20000; ++round) {
        const std::string raw = gen.next();
        const CZelStringT<char> text(raw.data(), static_cast<int>(raw.size()));
        CZelStringArray fields;
        const bool clean = ParseValues(text, fields, ';', "/");
        EXPECT_TRUE(clean || raw.find('/') != std::string::npos);
        EXPECT_TRUE(!clean || fields.GetSize() >= 1);
        for (int f = 0; f < fields.GetSize(); ++f) {
            EXPECT_FALSE(hasLineBreak(fields[f]));
            EXPECT_LT(fields[f].Find('/'), 0);
        }
        const CZelStringT<char> name = MakePointNameCorrect(text);
        EXPECT_LE(name.GetLength(), 20);
        EXPECT_LT(name.FindOneOf("!,?%*@#$^&'\"\\/|~;[]{}()<>`\t\r\n+="), 0);
        CZelStringT<char> out;
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
