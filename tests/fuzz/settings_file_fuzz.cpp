// loadSettings on any bytes; saved and loaded again, the same settings and the same bytes saved.
#include "app/settings_file.h"
#include "engine/file_memory.h"
#include "fuzz/fuzz_support.h"

namespace tarvo {
namespace {

constexpr int32_t kScreenWidth = 1920, kScreenHeight = 1080;

auto fields(const Settings& s) {
    const SearchOptions& o = s.request.options;
    const WindowRect& r = s.windowRect;
    return std::make_tuple(r.left, r.top, r.right, r.bottom, s.request.findText, s.request.pathText,
                           s.request.highlightList, s.request.excludeList, s.sortMode, o.recursive,
                           o.skipBinaryFiles, o.searchFileNames, o.caseSensitiveBonus,
                           o.wholeWordBonus, o.cppHeuristics);
}

void checkLimits(const Settings& s, const FileMemory& memory) {
    for (const std::string* text : {&s.request.findText, &s.request.pathText,
                                    &s.request.highlightList, &s.request.excludeList}) {
        FUZZ_CHECK(text->size() <= static_cast<size_t>(kMaxTextLength));
        FUZZ_CHECK(text->find('\0') == std::string::npos);
    }
    FUZZ_CHECK(s.lastFindText == s.request.findText && s.lastPathText == s.request.pathText);
    FUZZ_CHECK(memory.count() <= kMaxRememberedFiles);
}

}  // namespace
}  // namespace tarvo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const std::string path = fuzzing::scratch.path("TarvoSearch.txt");
    fuzzing::scratch.write("TarvoSearch.txt", bytes);
    // Live across inputs as the program's memory; a foreign file leaves it alone: emptied first.
    static FileMemory firstMemory, secondMemory;
    firstMemory.clear();
    Settings first;
    const bool ours = loadSettings(path.c_str(), kScreenWidth, kScreenHeight, first, firstMemory);
    checkLimits(first, firstMemory);
    if (!ours) FUZZ_CHECK(testing::readBytes(path) == bytes);  // a foreign file is only read
    FUZZ_CHECK(saveSettings(path.c_str(), false, first, firstMemory));
    const std::string saved = testing::readBytes(path);
    Settings second;
    FUZZ_CHECK(loadSettings(path.c_str(), kScreenWidth, kScreenHeight, second, secondMemory));
    checkLimits(second, secondMemory);
    FUZZ_CHECK(fields(second) == fields(first));
    FUZZ_CHECK(saveSettings(path.c_str(), false, second, secondMemory));
    FUZZ_CHECK(testing::readBytes(path) == saved);
    return 0;
}
