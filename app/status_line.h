// The one-line status panel's text: the counts of the current or last
// search and its elapsed time, composed without a window.
#pragma once

#include <cstdint>
#include <string>

#include "engine/search_stats.h"
#include "results/result_store.h"

namespace tarvo {

// 1234567 -> "1,234,567"; the whole 64-bit range (5000000000 ->
// "5,000,000,000"). Counts are never negative; a negative value keeps its
// sign in front of the grouped digits.
std::string formatCount(int64_t count);

// Minutes, seconds and milliseconds, truncated (1.9996 -> "0:01.999"), with
// hours in front once there are any ("1:00:00.250"). Negative or overlong
// durations are held to 0 and to the largest 32-bit millisecond count.
std::string formatDuration(double seconds);

// The run's timing as the status line shows it: while a search runs the
// time is measured up to `now`, afterwards it stays at the run's length.
struct RunTimes {
    double start = 1.0;  // equal to `end` before the first search
    double end = 1.0;
};

// "<n> Matches     Files: <n>   Lines: <n>   Bytes: <n>   Time: <t>", and
// "     (Searching...)" after it while the search runs.
std::string statusLineText(const SearchStats& stats, const RunTimes& times, double now,
                           bool running);

// The result lines the store keeps (its file-name entries are no lines).
int64_t keptLineCount(const ResultStore& results);

// What the list holds when a search met more matching lines than the store
// keeps: "the best 9,999 are listed", said once the search has ended; empty
// when every matching line is listed.
std::string listedLinesText(int64_t matchingLines, const ResultStore& results);

// What the walk left out for length, said once a search has ended: "3 paths
// longer than 32,767 characters were passed over" on Windows, "... 4,095
// bytes ..." on Linux ("1 path ... was"); empty when there were none.
std::string pathsTooLongText(int64_t count);

// What the filters left out (the exclusion list, Only File Types, Skip
// Folders, Skip Ignored Files), said once a search has ended: "1,234 files
// and folders skipped by filters" ("1 file or folder ..."); empty when none.
std::string skippedByFiltersText(int64_t count);

}  // namespace tarvo
