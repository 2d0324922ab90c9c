#include "engine/int_vector.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// The growth rule at its ends, without allocating: the regression is a file
// of about 970 million lines, whose x 3 / 2 overflowed 32 bits.
TEST(IntVector, GrowthIsWorkedOutIn64BitsAndStopsAtTheCap) {
    struct Case {
        int32_t capacity;
        int32_t next;
    } cases[] = {
        {0, 1000},
        {1000, 1500},
        {3375, 5062},
        {970543810, 1455815715},  // 970543810 * 3 passes 2^31
        {1455815715, INT32_MAX},  // the step is cut to the cap
        {INT32_MAX, 0},           // at the cap: cannot grow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        EXPECT_EQ(nextCapacity(c.capacity), c.next);
    }
}

}  // namespace
}  // namespace tarvo
