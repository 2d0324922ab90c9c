#include "app/status_line.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(StatusLine, FormatCountGroupsThousands) {
    struct Case {
        int64_t count;
        const char* text;
    } cases[] = {{0, "0"},
                 {7, "7"},
                 {999, "999"},
                 {1000, "1,000"},
                 {12345, "12,345"},
                 {100000, "100,000"},
                 {1234567, "1,234,567"},
                 {4294967296, "4,294,967,296"},
                 {5000000000, "5,000,000,000"},
                 {-1234, "-1,234"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(formatCount(c.count), c.text);
    }
}

TEST(StatusLine, FormatDurationTruncatesToMilliseconds) {
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {{0.0, "0:00.000"},         {0.5, "0:00.500"},     {65.5, "1:05.500"},
                 {1.9996, "0:01.999"},      {59.9999, "0:59.999"}, {3600.25, "1:00:00.250"},
                 {7325.125, "2:02:05.125"}, {-3.0, "0:00.000"},    {1e12, "596:31:23.647"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(formatDuration(c.seconds), c.text);
    }
}

TEST(StatusLine, TextBeforeDuringAndAfterASearch) {
    SearchStats stats;
    {
        SCOPED_TRACE("before the first search");
        EXPECT_EQ(statusLineText(stats, RunTimes{}, 42.0, false),
                  "0 Matches     Files: 0   Lines: 0   Bytes: 0   Time: 0:00.000");
    }
    // Three files of 720 million lines pass 2^31 lines.
    stats.matches = 2200000123;
    stats.files = 3;
    stats.lines = 2160000000;
    stats.bytes = 5000000000;
    RunTimes times{10.0, 10.0};
    {
        SCOPED_TRACE("running: time up to now, and the suffix");
        EXPECT_EQ(
            statusLineText(stats, times, 75.5, true),
            "2,200,000,123 Matches     Files: 3   Lines: 2,160,000,000   Bytes: 5,000,000,000   "
            "Time: 1:05.500     (Searching...)");
    }
    times.end = 12.25;
    {
        SCOPED_TRACE("finished: the run's length stays");
        EXPECT_EQ(
            statusLineText(stats, times, 99.0, false),
            "2,200,000,123 Matches     Files: 3   Lines: 2,160,000,000   Bytes: 5,000,000,000   "
            "Time: 0:02.250");
    }
}

}  // namespace
}  // namespace tarvo
