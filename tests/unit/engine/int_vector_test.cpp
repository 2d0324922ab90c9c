#include "engine/int_vector.h"
#include <gtest/gtest.h>

namespace tarvo {

// The growth rule at its ends: about 970 million lines once overflowed x 3 / 2 in 32 bits.
TEST(IntVector, GrowthAtItsEnds) {
    const int32_t growth[][2] = {
        {0, 1000}, {1000, 1500}, {970543810, 1455815715}, {1455815715, INT32_MAX}, {INT32_MAX, 0}};
    for (const auto& c : growth)
        EXPECT_EQ(nextCapacity(c[0]), c[1]) << c[0];
}

}  // namespace tarvo
