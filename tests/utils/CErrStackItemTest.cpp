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
