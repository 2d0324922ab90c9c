// Shared pieces of the fuzz targets: a check that stops the fuzzer with a
// message (libFuzzer then saves the input as a crash), and files in a
// scratch folder for targets that read real files.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace tarvo::fuzzing {

// A file in the one scratch folder of this fuzzing process.
inline std::string scratchFile(std::string_view name) {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvo-fuzz-XXXXXX").string();
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        return pattern;
    }();
    return folder + "/" + std::string(name);
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    FUZZ_CHECK(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush());
}

inline std::string readFile(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

}  // namespace tarvo::fuzzing
