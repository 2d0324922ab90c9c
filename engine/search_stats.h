// What a run has counted so far: the numbers of the status line.
#pragma once

#include <cstdint>

namespace tarvo {

struct SearchStats {
    int32_t matches = 0;  // lines scored, kept or not; may exceed 9999
    int32_t files = 0;    // files read to the end
    int32_t lines = 0;
    int64_t bytes = 0;
};

}  // namespace tarvo
