#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "velmorutils/velmorutils.h"

using zel_templ::CZelArray;

namespace {

using IntArray = CZelArray<int, const int&>;

// Counts live instances and can be told to fail on a given copy, to watch ownership and the
// array's behaviour when a copy throws.
struct Tracked {
    static int live;
    static int copiesUntilThrow;  // < 0: never
    int value = 0;
    Tracked() { ++live; }
    explicit Tracked(int v) : value(v) { ++live; }
    Tracked(const Tracked& other) : value(other.value) {
        if (copiesUntilThrow == 0) throw std::runtime_error("copy failed");
        if (copiesUntilThrow > 0) --copiesUntilThrow;
        ++live;
    }
    Tracked& operator=(const Tracked&) = default;
    ~Tracked() { --live; }
};
int Tracked::live = 0;
int Tracked::copiesUntilThrow = -1;
using TrackedArray = CZelArray<Tracked, const Tracked&>;

std::vector<int> values(const IntArray& a) {
    return {a.getImpl().begin(), a.getImpl().end()};
}

IntArray arrayOf(std::initializer_list<int> items) {
    IntArray a;
    for (int i : items)
        a.Add(i);
    return a;
}

}  // namespace

TEST(CZelArray, AddGrowsByHalfTheCapacityAndGrowthBeyondTakesExactlyWhatIsNeeded) {
    IntArray a;
    std::vector<std::size_t> capacities;
    for (int i = 0; i < 42; ++i) {
        EXPECT_EQ(a.Add(i * 10), i);
        const std::size_t capacity = a.getImpl().capacity();
        if (capacities.empty() || capacities.back() != capacity) capacities.push_back(capacity);
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t>{1, 2, 3, 4, 6, 9, 13, 19, 28, 42}));
    EXPECT_EQ(a.GetUpperBound(), 41);
    // Growth beyond half again takes exactly what is needed.
    IntArray g;
    g.InsertAt(0, 7, 5);  // 0 + 0 < 5: exactly 5
    EXPECT_EQ(g.getImpl().capacity(), 5u);
    g.InsertAt(2, 1, 1);  // 5 + 2 = 7
    EXPECT_EQ(g.getImpl().capacity(), 7u);
    EXPECT_EQ(values(g), (std::vector<int>{7, 7, 1, 7, 7, 7}));
    g.SetSize(20);  // 7 + 3 = 10 < 20
    EXPECT_EQ(g.getImpl().capacity(), 20u);
    EXPECT_EQ(g[19], 0);

    IntArray b;
    b.SetSize(3, 10);  // reserves the growth asked for
    EXPECT_EQ(b.getImpl().capacity(), 10u);
    b.FreeExtra();
    EXPECT_EQ(b.getImpl().capacity(), 3u);
    b.RemoveAll();
    EXPECT_EQ(b.getImpl().capacity(), 0u);
    EXPECT_EQ(b.GetUpperBound(), -1);
}

TEST(CZelArray, AppendReturnsTheFirstNewIndexAndInsertAtPlacesArrays) {
    IntArray a = arrayOf({1, 4});
    IntArray three = arrayOf({100, 101, 102});
    EXPECT_EQ(a.Append(three), 2);
    a.InsertAt(1, &three);
    EXPECT_EQ(values(a), (std::vector<int>{1, 100, 101, 102, 4, 100, 101, 102}));
    a.InsertAt(0, static_cast<IntArray*>(nullptr));
    a.RemoveAt(1, 3);
    a.RemoveAt(0);
    EXPECT_EQ(values(a), (std::vector<int>{4, 100, 101, 102}));
}

TEST(CZelArray, ElementsOfTheArrayItselfCanBeInsertedWhileItGrows) {
    CZelArray<std::string, const std::string&> a;
    a.Add("first station");
    for (int i = 0; i < 6; ++i)
        a.Add(a[0]);  // every Add up to 4, 6 reallocates
    EXPECT_EQ(a[6], "first station");
    a.SetAtGrow(20, a[1]);  // beyond growth by half: exactly what is needed
    EXPECT_EQ(a.getImpl().capacity(), 21u);
    EXPECT_EQ(a[20], "first station");
    EXPECT_EQ(a[19], "");

    IntArray b = arrayOf({1, 2});
    EXPECT_EQ(b.Append(b), 2);
    b.InsertAt(1, b);
    EXPECT_EQ(values(b), (std::vector<int>{1, 1, 2, 1, 2, 2, 1, 2}));
}

TEST(CZelArray, CopiesOwnTheirElementsAndAssignmentFollowsTheStorageRules) {
    Tracked::live = 0;
    {
        TrackedArray a;
        for (int i = 0; i < 5; ++i)
            a.Add(Tracked(i));
        TrackedArray b(a);
        EXPECT_EQ(b.getImpl().capacity(), 5u);
        EXPECT_EQ(Tracked::live, 10);
        b[0].value = 99;
        EXPECT_EQ(a[0].value, 0);

        TrackedArray small;
        small.Add(Tracked(1));
        b = small;  // fits: storage kept
        EXPECT_EQ(b.getImpl().capacity(), 5u);
        small = a;  // larger than its capacity: exactly the source's size
        EXPECT_EQ(small.getImpl().capacity(), 5u);
        b = TrackedArray();  // from empty: storage released
        EXPECT_EQ(b.getImpl().capacity(), 0u);
        EXPECT_EQ(Tracked::live, 10);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(CZelArray, AFailedCopyIntoFreshStorageLeavesTheArrayAsItWas) {
    Tracked::live = 0;
    {
        TrackedArray a;
        for (int i = 0; i < 4; ++i)
            a.Add(Tracked(i));
        const Tracked* before = a.GetData();
        Tracked::copiesUntilThrow = 2;  // fails while moving to the capacity-6 storage
        EXPECT_THROW(a.Add(Tracked(4)), std::runtime_error);
        Tracked::copiesUntilThrow = -1;
        EXPECT_EQ(a.GetData(), before);
        EXPECT_EQ(a.GetSize(), 4);
        EXPECT_EQ(Tracked::live, 4);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(CZelArray, RequestsBeyondThe32BitLimitAreTooLong) {
    struct Big {
        char bytes[1 << 20];
    };
    CZelArray<Big, const Big&> a;
    EXPECT_THROW(a.SetSize(5000), std::length_error);  // 5000 MiB: more than may be handed out
    EXPECT_EQ(a.GetSize(), 0);
    IntArray b = arrayOf({1});
    EXPECT_THROW(b.SetSize(-2), std::length_error);
    EXPECT_THROW(b.InsertAt(0, 5, -1), std::length_error);
    EXPECT_EQ(values(b), (std::vector<int>{1}));
}

TEST(CObjId2ObjIdMap, FirstMatchWinsAndZeroMeansNone) {
    CObjId2ObjIdMap map;
    map.add(1, 10);
    map.add(1, 20);
    map.add(3, 0);
    map.add(4, 10);
    EXPECT_EQ(map.findSrcId(1), 0);
    EXPECT_EQ(map.src2trg(1), 10);
    EXPECT_EQ(map.findTrgId(10), 0);
    EXPECT_EQ(map.trg2src(20), 1);
    EXPECT_EQ(map.findSrcId(4), 3);
    EXPECT_EQ(map.src2trg(3), 0);   // mapped to 0
    EXPECT_EQ(map.src2trg(77), 0);  // never added
    EXPECT_EQ(map.findSrcId(77), -1);
    EXPECT_EQ(map.findTrgId(77), -1);
    EXPECT_EQ(map.trg2src(77), 0);
}
