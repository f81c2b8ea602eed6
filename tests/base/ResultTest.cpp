#include "base/Result.h"

#include <gtest/gtest.h>

namespace quendrix {
namespace {

TEST(ResultDeathTest, ReadingTheValueOfARefusalAbortsWithItsReason) {
    const Result<std::string> refused = Failure{"line 3: empty Y value"};
    EXPECT_DEATH((void)refused.value(), "refused result read \\(line 3: empty Y value\\)");
    EXPECT_DEATH((void)refused->size(), "line 3");
    EXPECT_DEATH((void)Result<std::string>(Failure{"moved"}).value(), "moved");
    const Result<std::string> held = std::string("kept");
    EXPECT_EQ(held->size(), 4u);
}

} // namespace
} // namespace quendrix
