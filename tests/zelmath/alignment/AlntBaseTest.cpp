#include <gtest/gtest.h>

#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "velmorutils/alloc/DlMalloc.h"
#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntHeSegment.h"
#include "velmorutils/zelmath/alignment/CPtrArrayT.h"

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

TEST(AlntBase, ElementsAndAlignmentsLiveOnTheLibraryHeap) {
    const size_t before = zel_mem::heapStatistics().inUseBytes;
    CAlntHe* seg = new CAlntHeSegment(7);
    CAlntH* alnt = new CAlntH(3);
    EXPECT_GE(zel_mem::heapStatistics().inUseBytes,
              before + sizeof(CAlntHeSegment) + sizeof(CAlntH));
    // The owner deletes through the base pointer; the memory must go back to the same heap.
    delete seg;
    delete alnt;
    EXPECT_EQ(before, zel_mem::heapStatistics().inUseBytes);
    delete[] new CAlntHeSegment[3];
    EXPECT_EQ(before, zel_mem::heapStatistics().inUseBytes);

    alignas(CAlntHeSegment) unsigned char buffer[sizeof(CAlntHeSegment)];
    CAlntHeSegment* placed = new (buffer) CAlntHeSegment(11);
    EXPECT_EQ(static_cast<void*>(buffer), static_cast<void*>(placed));
    placed->~CAlntHeSegment();
    EXPECT_EQ(before, zel_mem::heapStatistics().inUseBytes);
}

TEST(AlntBase, PointerArrayInsertRemoveAndGrowth) {
    int v[6] = {0, 1, 2, 3, 4, 5};
    CPtrArrayT<int> a;
    EXPECT_EQ(0, a.Add(&v[0]));
    EXPECT_EQ(1, a.Add(&v[2]));
    a.InsertAt(1, &v[1]);
    a.InsertAt(3, &v[3]);  // at the end
    a.InsertAt(0, &v[5]);
    const auto contents = [&a] {
        std::vector<int*> out;
        for (int i = 0; i < a.GetSize(); ++i)
            out.push_back(a[i]);
        return out;
    };
    EXPECT_EQ((std::vector<int*>{&v[5], &v[0], &v[1], &v[2], &v[3]}), contents());
    a.RemoveAt(1, 2);
    EXPECT_EQ((std::vector<int*>{&v[5], &v[2], &v[3]}), contents());
    // Through a const array (an alignment's getElements) the elements cannot be changed.
    static_assert(std::is_same_v<decltype(std::as_const(a)[0]), const int*>);
    a.RemoveAll();
    EXPECT_TRUE(a.IsEmpty());
    // Growth keeps every pointer in place.
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(i, a.Add(&v[i % 6]));
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(&v[i % 6], a[i]);
}

TEST(AlntBase, ElementStartChainageAndConversions) {
    CAlntHeSegment seg;
    seg.get_data().get_data().setLen(25.0);
    double c = -1.0;
    // Never placed in an alignment: 0.0 is a valid start chainage.
    ASSERT_TRUE(seg.getStartChainageInM(c));
    EXPECT_EQ(0.0, c);

    CAlntH alnt;
    alnt.setStartChainageInM(1000.0);
    alnt.appendElement(seg);
    alnt.appendElement(seg);
    const CAlntHe* second = alnt.getHe(1);
    ASSERT_TRUE(second->distance2Chainage(5.0, c));
    EXPECT_DOUBLE_EQ(1030.0, c);
    ASSERT_TRUE(second->chainage2Distance(1020.0, c));
    EXPECT_DOUBLE_EQ(-5.0, c);
    ASSERT_TRUE(alnt.getFinalChainageInM(c));
    EXPECT_DOUBLE_EQ(1050.0, c);
}
