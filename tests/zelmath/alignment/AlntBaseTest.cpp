#include <gtest/gtest.h>

#include <string>

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntHeSegment.h"

namespace {

bool nameOk(const std::string& s) {
    return CAlntBase::checkAlntName(zel_text::CZelStringT<char>(s.c_str()));
}

}  // namespace

TEST(AlntBase, NameCheckLengthAndForbiddenCharacters) {
    EXPECT_FALSE(nameOk(""));
    EXPECT_TRUE(nameOk(std::string(40, 'A')));
    EXPECT_FALSE(nameOk(std::string(41, 'a')));
    for (char c : std::string("!,?%*@#$^&'\"\\/|~;[]{}()<>`\t\r\n+="))
        EXPECT_FALSE(nameOk(std::string("CL") + c + "1")) << "character " << int(c);
    // Everything else printable passes, including the characters next to forbidden ones.
    for (char c : std::string(".-_:01Az "))
        EXPECT_TRUE(nameOk(std::string("CL") + c)) << c;
}
