// Every file with a result, each at its best line, for -l. The result store
// keeps the best 9,999 lines, so a file whose lines all rank below them
// would be missing from a list of files: this sink stands between the engine
// and the store and remembers each file's best line, whatever the store
// keeps. The store still gets every line and answers for the crediting.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/result_sink.h"
#include "results/result_store.h"

namespace tarvo {

class MatchingFiles final : public ResultSink {
public:
    explicit MatchingFiles(ResultStore& store) : store_(store) {}

    void addResult(int32_t score, const char* path, int32_t lineNumber, std::string_view lineText,
                   int32_t termColumn) override;
    // A line the store would refuse is still wanted when it would be its
    // file's best line so far: the lower of the two bars.
    EntryBar entryBar(const char* path) const override;
    void clearResults() override;
    void visitInRankOrder(
        const std::function<void(const char* path, int32_t position)>& visit) const override {
        store_.visitInRankOrder(visit);
    }

    // Each file once, by its best line, in the order the list shows lines
    // when sorted by `sortMode`.
    std::vector<const ResultEntry*> inDisplayOrder(SortMode sortMode) const;

private:
    // The file's index in best_, or -1. The scanner asks about one file's
    // lines in a row, so the last answer is tried first.
    int32_t find(const char* path) const;

    ResultStore& store_;
    std::vector<ResultEntry> best_;  // one per file, in order of arrival
    std::unordered_map<std::string, int32_t> index_;
    mutable int32_t last_ = -1;
};

}  // namespace tarvo
