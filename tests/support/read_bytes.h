// A whole file's bytes, for tests that compare what was written.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace tarvo::testing {

// Empty when the file cannot be read.
inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace tarvo::testing
