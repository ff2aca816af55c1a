#include "editor/EditorNumbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(EditorNumbers, AngleReadoutCutsAfterTwoDecimals) {
    EXPECT_EQ(angleReadout(12.3456), "12.34");
    EXPECT_EQ(angleReadout(-7.5), "-7.5");
    EXPECT_EQ(angleReadout(180), "180");
    EXPECT_EQ(angleReadout(0), "0");
    EXPECT_EQ(angleReadout(45.999999), "46");
    EXPECT_EQ(angleReadout(-0.019), "-0.01");
    EXPECT_EQ(angleReadout(1.5e-05), "1.5e"); // the last "." decides, as specified
}

TEST(EditorNumbers, TruncationClampsInsteadOfOverflowing) {
    EXPECT_EQ(truncateToInt32(2499.9), 2499);
    EXPECT_EQ(truncateToInt32(-2.7), -2);
    EXPECT_EQ(truncateToInt32(1e20), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(truncateToInt32(-1e20), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(truncateToInt32(std::nan("")), 0);
    EXPECT_EQ(truncateToInt32(INFINITY), std::numeric_limits<int32_t>::max());
}

} // namespace
