#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "utils/SharedLogRedirect.h"
#include "velmorutils/velmorutils.h"

namespace {

template <class C>
auto values(const C& c) {
    return std::vector(c.begin(), c.end());
}

}  // namespace

// Growth by half the capacity is shared with CZelArray and checked there; an append that needs
// more takes exactly what it needs.
TEST(TZelContainer, AppendTakesWhatIsNeeded) {
    TZelContainer<int> c;
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(c.add(i), static_cast<unsigned>(i));
    TZelContainer<int> d;
    d.add(1);
    d.add(2);
    d.append(c);
    EXPECT_EQ(d.capacity(), 22u);
}

// A bad index on a const container is written to the process log before the throw; the
// non-const access throws without a report.
TEST(TZelContainer, CheckedAccessThrowsOutOfRangeAndConstAccessLogsIt) {
    const std::string path = RedirectSharedLog("container", 3);
    TZelContainer<std::string> c;
    c.add("a");
    EXPECT_THROW(c.get_at(1), std::out_of_range);
    const TZelContainer<std::string>& view = c;
    EXPECT_THROW(view[1], std::out_of_range);
    EXPECT_THROW(view.get_at(0xFFFFFFFFu), std::out_of_range);
    GetProcessLog().Stop();
    const std::string log = ReadWholeFile(path);
    EXPECT_EQ(2, std::count(log.begin(), log.end(), '\n')) << log;
    EXPECT_EQ(0u, log.find("<2> - *** error in ")) << log;
}

TEST(TZelContainer, FirstLastInsertRemoveAndOwnElementsAsSourceSurviveGrowth) {
    TZelContainer<int> c;
    EXPECT_EQ(c.getLast(), nullptr);
    c.push_back(7);
    const int more[] = {8, 1, 2, 3};
    c.append(more, 4);
    EXPECT_EQ(*c.getLast(), 3);
    c.insert(0, 0);
    c.insert(6, 9);
    c.remove(2);
    EXPECT_EQ(values(c), (std::vector<int>{0, 7, 1, 2, 3, 9}));
    // The container's own elements as the source survive its growth.
    TZelContainer<std::string> s;
    s.add("first element, long enough to live on the heap");
    s.add("second");
    s.add("third");
    s.add(s[0]);  // the storage moves while the element is copied
    s.append(s);
    s.insert(1, s[4]);
    EXPECT_EQ(s.size(), 9u);
    EXPECT_EQ(s[1], s[0]);
    EXPECT_EQ(s[8], s[0]);
    EXPECT_EQ(s[6], "second");
}

TEST(TZelContainer, CopiesTakeTheSizeAndEmptySourcesReleaseStorage) {
    TZelContainer<int> a, b;
    a.add(1);
    a.add(2);
    b.add(1);
    EXPECT_FALSE(a.is_equal(b));
    a.reserve(50);
    TZelContainer<int> copy(a);
    EXPECT_TRUE(copy.is_equal(a));
    EXPECT_EQ(copy.capacity(), 2u);
    copy = TZelContainer<int>();
    EXPECT_EQ(copy.capacity(), 0u);

    a.set_size(0, 100);
    EXPECT_EQ(a.capacity(), 50u);
    a.set_size(3, 0);
    EXPECT_EQ(values(a), (std::vector<int>{0, 0, 0}));
    EXPECT_THROW(a.reserve(-1), std::length_error);
    TZelContainer<double> big;
    EXPECT_THROW(big.set_size(0x7FFFFFFF, 0), std::length_error);  // beyond 4 GiB of doubles
    EXPECT_EQ(big.size(), 0u);
}

TEST(TObjIds, FindAppendAndSplit) {
    TObjIds ids;
    for (int id : {3, 5, 7})
        ids.add(id);
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
    EXPECT_EQ(ids.find(5), 1);  // the first of two
    EXPECT_EQ(ids.find(4), -1);
    other.append(other);
    EXPECT_EQ(values(other), (std::vector<int>{5, 9, 5, 9}));
}

TEST(ObjName, NormalizeNameCollapsesBlanks) {
    zel_text::CZelStringT<char> out("stale");
    ObjName::normalizeName(out, " \tPt\t 12  x\t");
    EXPECT_STREQ(out, "Pt 12 x");
    ObjName::normalizeName(out, " \t ");
    EXPECT_STREQ(out, "");
    out = "  a  b ";
    ObjName::normalizeName(out, out);
    EXPECT_STREQ(out, "a b");
}
