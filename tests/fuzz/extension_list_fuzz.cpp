// matchesExtensionList on any path and list (the input's first line is the
// path, the rest the list), against the plain statement of the rule: some
// non-empty ';'-separated item is a byte-for-byte suffix of the path.
#include <string>

#include "engine/path_list.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    fuzzing::InputCursor input(data, size);
    const std::string_view path = input.until('\n');
    const std::string_view list = input.rest();

    bool expected = false;
    size_t at = 0;
    for (;;) {
        const size_t stop = list.find(';', at);
        const std::string_view item =
            list.substr(at, stop == std::string_view::npos ? stop : stop - at);
        expected |= !item.empty() && path.ends_with(item);
        if (stop == std::string_view::npos) break;
        at = stop + 1;
    }
    FUZZ_CHECK(matchesExtensionList(path, list) == expected);
    // The scanner and the preview pass C strings: the same answer from a copy
    // that owns its bytes.
    FUZZ_CHECK(matchesExtensionList(std::string(path), std::string(list)) == expected);
    return 0;
}
