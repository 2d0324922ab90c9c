// parsePathList on any Path text, against a model written from its rules:
// the text ends at a NUL, splits at ';', each piece loses its leading and
// trailing blanks and its trailing separators, a last piece of only blanks
// is no root, and at most kMaxRoots are kept.
#include <string>
#include <vector>

#include "engine/path_list.h"
#include "fuzz/fuzz_support.h"

namespace tarvo {
namespace {

std::vector<std::string> modelRoots(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> pieces;
    size_t at = 0;
    for (;;) {
        const size_t stop = text.find(';', at);
        pieces.emplace_back(text.substr(at, stop == std::string_view::npos ? stop : stop - at));
        if (stop == std::string_view::npos) break;
        at = stop + 1;
    }
    if (pieces.back().find_first_not_of(' ') == std::string::npos) pieces.pop_back();
    std::vector<std::string> roots;
    for (std::string& piece : pieces) {
        piece.erase(0, piece.find_first_not_of(' '));
        while (!piece.empty() && (piece.back() == ' ' || piece.back() == kPathSeparator))
            piece.pop_back();
        if (roots.size() == static_cast<size_t>(kMaxRoots)) break;
        roots.push_back(piece);
    }
    return roots;
}

}  // namespace
}  // namespace tarvo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> roots = parsePathList(text);
    FUZZ_CHECK(roots.size() <= static_cast<size_t>(kMaxRoots));
    FUZZ_CHECK(roots == modelRoots(text));
    return 0;
}
