#include "velmorutils/utils/CErrStackItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SharedLogRedirect.h"

using Lines = std::vector<std::string>;

TEST(CErrStackItem, FailureInInnermostCallLogsItOnceWithItsCallers) {
    const std::string log = RedirectSharedLog("errstack_pqr");
    {
        CErrStackItem p("survey.cpp", "P", 10);
        { CErrStackItem sibling("survey.cpp", "S", 15); }  // Q chains to P, not to S
        {
            CErrStackItem q("survey.cpp", "Q", 20);
            {
                CErrStackItem r("geometry.cpp", "R", 30);
                r.setCurLine(40);
                EXPECT_FALSE(r = false);
            }
            EXPECT_FALSE(q.get());
            q.set(false);  // already failed: reports nothing more
        }
        EXPECT_FALSE(p);
        p = false;
    }
    EXPECT_EQ((Lines{"<5> - geometry.cpp(40): error in R", "<0> - \t****Call stack****",
                     "<0> - \tQ: survey.cpp(20)", "<0> - \tP: survey.cpp(10)",
                     "<0> - \t******************"}),
              ReadLines(log));
}

TEST(CErrStackItem, LoneItemLogsNoCallStackAndCannotBeSetBack) {
    const std::string log = RedirectSharedLog("errstack_alone");
    {
        CErrStackItem only("cogo.cpp", "Resection", 7);
        EXPECT_TRUE(only = true);  // success reports nothing
        only.set(false);
        EXPECT_FALSE(only = true);
    }
    EXPECT_EQ((Lines{"<5> - cogo.cpp(7): error in Resection"}), ReadLines(log));
}

TEST(CErrStackItem, DefaultThresholdKeepsTheCallStackButNotTheErrorLine) {
    const std::string log = RedirectSharedLog("errstack_threshold", 3);
    {
        CErrStackItem outer("a.cpp", "Outer", 1);
        CErrStackItem inner("b.cpp", "Inner", 2);
        inner.set(false);
    }
    EXPECT_EQ((Lines{"<0> - \t****Call stack****", "<0> - \tOuter: a.cpp(1)",
                     "<0> - \t******************"}),
              ReadLines(log));
}
