// A check that stops the fuzzer with a message (libFuzzer then saves the input as a crash), and the
// scratch folder of this fuzzing process for targets that read real files.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "support/temp_tree.h"

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace tarvo::fuzzing {
inline const testing::TempTree scratch;
}  // namespace tarvo::fuzzing
