// What a run has counted so far: the numbers of the status line.
#pragma once

#include <cstdint>

namespace tarvo {

// 64-bit throughout: a few files of hundreds of millions of lines pass any
// 32-bit count.
struct SearchStats {
    int64_t matches = 0;  // lines scored, kept or not; may exceed 9999
    int64_t files = 0;    // files read to the end
    int64_t lines = 0;
    int64_t bytes = 0;
    // Files and folders the walk passed over because the system cannot name
    // their path (systemCanName): not searched, but said once the run has ended.
    int64_t pathsTooLong = 0;
    // Files and folders the exclusion list, Only File Types, Skip Folders or
    // Skip Ignored Files left out, a folder once (not what it holds).
    int64_t skippedByFilters = 0;
};

}  // namespace tarvo
