// scanFile on a fuzzed file and terms against the reference scanner. Byte 0: bits 0-4 the options,
// bit 5 a .c name, bits 6-7 the window moves (0, 1, 2, 2) the content is written again across;
// then the Find text up to a line feed, then the file.
#include <algorithm>

#include "engine/search_run.h"
#include "fuzz/fuzz_support.h"
#include "results/result_store.h"
#include "support/reference_scanner.h"

namespace tarvo {
namespace {

constexpr size_t kMovePoints[] = {kScanWindowMoveAt + 1, kScanWindowMoveAt + 1 + kScanWindowMove};
// Never stops: stops and files that change while read are the unit suite's.
class RunningHost : public SearchHost {
public:
    void pumpMessages() override {}
    RunState runState() const override { return RunState::Running; }
    void reportError(const char*) override {}
    void requestRefresh() override {}
};

}  // namespace
}  // namespace tarvo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const uint8_t flags = data[0];
    const std::string_view findText = bytes.substr(1, bytes.find('\n', 1) - 1);
    const std::string_view fuzzed = bytes.substr(std::min(size, findText.size() + 2));
    std::string content(fuzzed);
    for (int move = 0; move < std::min(flags >> 6, 2); ++move) {
        while (content.size() < kMovePoints[move] - fuzzed.size() / 2)
            content += content.size() % 100 == 99 ? '\n' : '\x01';
        content += fuzzed;
    }
    // Live across inputs, as across files and runs in the program.
    static RunningHost host;
    static SearchRequest request;
    static FileMemory memory;
    static ResultStore results, expected;
    static SearchRun searchRun(host, request, memory, results);
    const std::string path =
        fuzzing::scratch.write(flags & 32 ? "scanned.c" : "scanned.txt", content);
    request.findText = std::string(findText);
    const auto bit = [flags](int b) { return (flags >> b & 1) != 0; };
    request.options = {true, bit(0), bit(1), bit(2), bit(3), bit(4)};
    memory.clear();
    results.clearResults();
    expected.clearResults();
    searchRun.prepareRun();
    searchRun.scanFile(path.c_str());
    testing::ReferenceScan scan;
    const std::string text = testing::textOf(content);
    testing::referenceScan(path, text, searchRun.terms(), request, scan, expected);
    FUZZ_CHECK(memory.isSearched(path.c_str()));
    FUZZ_CHECK(searchRun.stats().files == (scan.binary ? 0 : 1));
    if (scan.binary) return 0;
    FUZZ_CHECK(searchRun.stats().lines == scan.lines() &&
               searchRun.stats().bytes == static_cast<int64_t>(text.size()));
    FUZZ_CHECK(searchRun.stats().matches == scan.matches);
    FUZZ_CHECK(results.count() == expected.count());
    const auto fields = [](const ResultEntry& e) {
        return std::tie(e.score, e.lineNumber, e.lineText, e.termColumn);
    };
    for (int32_t i = 0; i < results.count(); ++i)
        FUZZ_CHECK(fields(results.rankEntry(i)) == fields(expected.rankEntry(i)));
    return 0;
}
