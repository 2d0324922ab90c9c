#include "app/status_line.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace tarvo {
namespace {

// Counts pass 2^32 (a search over a large tree); times truncate to the
// millisecond and stop at 2^31 - 1 of them.
TEST(StatusLine, CountsDurationsAndTheWholeLine) {
    const std::pair<int64_t, const char*> counts[] = {{0, "0"},
                                                      {999, "999"},
                                                      {1000, "1,000"},
                                                      {100000, "100,000"},
                                                      {1234567, "1,234,567"},
                                                      {5000000000, "5,000,000,000"},
                                                      {-1234, "-1,234"}};
    for (const auto& [count, text] : counts)
        EXPECT_EQ(formatCount(count), text);
    const std::pair<double, const char*> durations[] = {
        {0.0, "0:00.000"},        {65.5, "1:05.500"}, {1.9996, "0:01.999"},   {59.9999, "0:59.999"},
        {3600.25, "1:00:00.250"}, {-3.0, "0:00.000"}, {1e12, "596:31:23.647"}};
    for (const auto& [seconds, text] : durations)
        EXPECT_EQ(formatDuration(seconds), text);

    SearchStats stats;
    EXPECT_EQ(statusLineText(stats, RunTimes{}, 42.0, false),
              "0 Matches     Files: 0   Lines: 0   Bytes: 0   Time: 0:00.000");
    stats.matches = 2200000123;
    stats.files = 3;
    stats.lines = 2160000000;
    stats.bytes = 5000000000;
    const std::string counted =
        "2,200,000,123 Matches     Files: 3   Lines: 2,160,000,000   "
        "Bytes: 5,000,000,000   Time: ";
    RunTimes times{10.0, 10.0};
    EXPECT_EQ(statusLineText(stats, times, 75.5, true), counted + "1:05.500     (Searching...)");
    times.end = 12.25;
    EXPECT_EQ(statusLineText(stats, times, 99.0, false), counted + "0:02.250");
}

}  // namespace
}  // namespace tarvo
