#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "velmorutils/velmorutils.h"

namespace {

template <class T>
std::vector<T> values(const TZelContainer<T>& c) {
    return std::vector<T>(c.begin(), c.end());
}

std::vector<int> values(const TObjIds& ids) {
    return std::vector<int>(ids.begin(), ids.end());
}

}  // namespace

TEST(TZelContainer, GrowsByHalfItsCapacity) {
    TZelContainer<int> c;
    std::vector<unsigned> seen;
    for (int i = 0; i < 20; ++i) {
        const unsigned before = c.capacity();
        EXPECT_EQ(c.add(i), static_cast<unsigned>(i));
        if (c.capacity() != before) seen.push_back(c.capacity());
    }
    EXPECT_EQ(seen, (std::vector<unsigned>{1, 2, 3, 4, 6, 9, 13, 19, 28}));
    // Appending more than the growth gives takes exactly what is needed.
    TZelContainer<int> d;
    d.add(1);
    d.add(2);
    d.append(c);
    EXPECT_EQ(d.capacity(), 22u);
}

TEST(TZelContainer, CheckedAccessThrowsOutOfRange) {
    TZelContainer<std::string> c;
    c.add("a");
    EXPECT_EQ(c.get_at(0), "a");
    c[0] = "b";
    EXPECT_EQ(c.get_at(0), "b");
    try {
        c.get_at(1);
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
    // The const access reports the index to the log first, then throws the same way.
    const TZelContainer<std::string>& view = c;
    EXPECT_THROW(view[1], std::out_of_range);
    EXPECT_THROW(view.get_at(0xFFFFFFFFu), std::out_of_range);
    EXPECT_EQ(c.size(), 1u);
}

TEST(TZelContainer, FirstLastAndAppendOrder) {
    TZelContainer<int> c;
    EXPECT_EQ(c.getFirst(), nullptr);
    EXPECT_EQ(c.getLast(), nullptr);
    c.push_back(7);
    EXPECT_EQ(c.getFirst(), c.getLast());
    EXPECT_EQ(*c.getFirst(), 7);
    c.push_back(8);
    const int more[] = {1, 2, 3};
    c.append(more, 3);
    EXPECT_EQ(values(c), (std::vector<int>{7, 8, 1, 2, 3}));
    EXPECT_EQ(*c.getLast(), 3);
    c.insert(0, 0);
    c.insert(6, 9);
    c.remove(2);
    EXPECT_EQ(values(c), (std::vector<int>{0, 7, 1, 2, 3, 9}));
}

TEST(TZelContainer, OwnElementsAsSourceSurviveGrowth) {
    TZelContainer<std::string> c;
    c.add("first element, long enough to live on the heap");
    c.add("second");
    c.add("third");
    ASSERT_EQ(c.size(), c.capacity());
    c.add(c[0]);  // the storage moves while the element is copied
    c.append(c);
    c.insert(1, c[4]);
    EXPECT_EQ(c.size(), 9u);
    EXPECT_EQ(c[1], c[0]);
    EXPECT_EQ(c[8], c[0]);
    EXPECT_EQ(c[6], "second");
}

TEST(TZelContainer, EqualityCopiesAndStorage) {
    TZelContainer<int> a, b;
    EXPECT_TRUE(a.is_equal(b));
    a.add(1);
    a.add(2);
    b.add(1);
    EXPECT_FALSE(a.is_equal(b));
    b.add(3);
    EXPECT_FALSE(a.is_equal(b));

    a.reserve(50);
    TZelContainer<int> copy(a);
    EXPECT_TRUE(copy.is_equal(a));
    EXPECT_EQ(copy.capacity(), 2u);
    copy = TZelContainer<int>();  // an empty source releases the storage
    EXPECT_EQ(copy.capacity(), 0u);
    copy.copy(b);
    EXPECT_TRUE(copy.is_equal(b));

    a.set_size(0, 100);
    EXPECT_EQ(a.size(), 0u);
    EXPECT_EQ(a.capacity(), 50u);
    a.set_size(3, 0);
    EXPECT_EQ(values(a), (std::vector<int>{0, 0, 0}));
    a.reset();
    EXPECT_EQ(a.capacity(), 0u);

    try {
        a.reserve(-1);
        FAIL() << "no exception";
    } catch (const std::length_error& e) {
        EXPECT_STREQ(e.what(), "vector<T> too long");
    }
    TZelContainer<double> big;
    EXPECT_THROW(big.set_size(0x7FFFFFFF, 0), std::length_error);  // beyond 4 GiB of doubles
    EXPECT_EQ(big.size(), 0u);
}

TEST(TObjIds, FindAppendAndSplit) {
    TObjIds ids;
    for (int id : {3, 5, 7})
        ids.add(id);
    EXPECT_EQ(ids.find(5), 1);
    EXPECT_EQ(ids.find(4), -1);

    TObjIds other;
    other.add(5);
    other.add(9);
    TObjIds common, thisOnly;
    common.add(100);  // outputs are appended to, not cleared
    ids.getCommonAndThisOnlyItems(other, &common, &thisOnly);
    EXPECT_EQ(values(common), (std::vector<int>{100, 5}));
    EXPECT_EQ(values(thisOnly), (std::vector<int>{3, 7}));
    ids.getCommonAndThisOnlyItems(other, nullptr, &thisOnly);
    EXPECT_EQ(values(thisOnly), (std::vector<int>{3, 7, 3, 7}));

    ids.append(other);
    EXPECT_EQ(values(ids), (std::vector<int>{3, 5, 7, 5, 9}));
    EXPECT_EQ(ids.find(5), 1);
    other.append(other);
    EXPECT_EQ(values(other), (std::vector<int>{5, 9, 5, 9}));
    const TObjIds& view = ids;
    EXPECT_THROW(view[5], std::out_of_range);
}

TEST(ObjName, NormalizeNameCollapsesBlanks) {
    zel_text::CZelStringT<char> out("stale");
    ObjName::normalizeName(out, " \tPt\t 12  x\t");
    EXPECT_STREQ(out, "Pt 12 x");
    ObjName::normalizeName(out, "Road\tAxis");
    EXPECT_STREQ(out, "Road Axis");
    ObjName::normalizeName(out, " \t ");
    EXPECT_STREQ(out, "");
    out = "  a  b ";
    ObjName::normalizeName(out, out);
    EXPECT_STREQ(out, "a b");
}
