#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/velmorutils.h"

// A bad index on a const container is written to the process log before the throw; the
// non-const access throws without a report.
TEST(TZelContainer, ConstAccessReportsTheBadIndexToTheLog) {
    FilesScratch dir;
    const std::string path = dir.native("container.log");
    InitLogging();
    GetProcessLog().Stop();
    ASSERT_EQ(GetProcessLog().Start(path.c_str(), 1, 4, 3), 0);  // "<level> - " prefix

    TZelContainer<int> c;
    c.add(1);
    EXPECT_THROW(c.get_at(1), std::out_of_range);
    const TZelContainer<int>& view = c;
    EXPECT_THROW(view.get_at(1), std::out_of_range);
    EXPECT_EQ(view.get_at(0), 1);
    GetProcessLog().Stop();

    std::ifstream in(path);
    const std::string logged((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(logged, "<2> - *** error in utils/inlines/templates, line 599\n");
}
