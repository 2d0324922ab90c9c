// Names such as "f7" for generated files, roots and terms.
#pragma once

#include <string>

namespace tarvo::testing {

// Built by appending: for "f" + std::to_string(7), which puts a literal in
// front of a temporary string, MinGW's GCC 12 at -O2 reports a false
// -Wrestrict (GCC bug 105329).
inline std::string numberedName(const char* prefix, int number) {
    std::string name = prefix;
    name += std::to_string(number);
    return name;
}

}  // namespace tarvo::testing
