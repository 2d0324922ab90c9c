// Any rules (up to the last line feed) on any path, in time: twice is once; no letters, no case.
#include <algorithm>

#include "engine/ignore_rules.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t feed = input.rfind('\n');
    if (feed == std::string_view::npos) return 0;
    const std::string_view text = input.substr(0, feed);
    const std::string path(input.substr(feed + 1));
    if (path.empty() || path.front() == '/' || path.back() == '/' ||
        path.find("//") != std::string::npos) {
        return 0;  // no path the walk builds
    }
    const IgnoreRules exact(text, false), folding(text, true);
    const IgnoreRules twice(std::string(text) + "\n" + std::string(text), false);
    const bool letters = std::any_of(input.begin(), input.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
    for (size_t end = path.find('/');; end = path.find('/', end + 1)) {
        const std::string_view below = std::string_view(path).substr(0, end);
        const size_t nameAt = below.rfind('/') + 1;
        const bool isDirectory = end != std::string::npos;
        const IgnoreVerdict verdict = exact.verdict(below, nameAt, isDirectory);
        FUZZ_CHECK(twice.verdict(below, nameAt, isDirectory) == verdict);
        FUZZ_CHECK(letters || folding.verdict(below, nameAt, isDirectory) == verdict);
        if (!isDirectory) break;
    }
    return 0;
}
