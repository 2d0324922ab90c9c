// A whole file's bytes (empty when it cannot be read).
#pragma once
#include <fstream>
#include <sstream>
#include <string>

namespace tarvo::testing {
inline std::string readBytes(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}
}  // namespace tarvo::testing
