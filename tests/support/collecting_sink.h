// The engine suites' sink: the lines it is handed, best first, up to a capacity; once full, its bar
// is its worst line, as any sink's, so a run can be held to a full sink's rules.
#pragma once

#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/result_sink.h"

namespace tarvo::testing {

class CollectingSink : public ResultSink {
public:
    struct Line {
        int32_t score;
        std::string path;
        int32_t lineNumber;
        std::string lineText;
        int32_t termColumn;
    };
    explicit CollectingSink(size_t capacity = kMaxResults) : capacity_(capacity) {}

    void addResult(int32_t score, const char* path, int32_t lineNumber, std::string_view lineText,
                   int32_t termColumn = 0) override {
        if (!entryBar(path).admits(score, lineNumber)) return;
        lines_.insert(Line{score, path, lineNumber, std::string(lineText), termColumn});
        if (lines_.size() > capacity_) lines_.erase(std::prev(lines_.end()));
        ranked_.clear();
    }
    EntryBar entryBar(const char* path) const override {
        if (lines_.size() < capacity_) return {};
        const Line& worst = *lines_.rbegin();
        const int byPath = std::strcmp(path, worst.path.c_str());
        return {worst.score, byPath < 0 ? INT32_MAX : byPath > 0 ? INT32_MIN : worst.lineNumber};
    }
    void clearResults() override { lines_.clear(), ranked_.clear(); }
    void visitInRankOrder(const std::function<void(const char*, int32_t)>& visit) const override {
        int32_t position = 0;
        for (const Line& line : lines_)
            visit(line.path.c_str(), position++);
    }
    int32_t count() const { return static_cast<int32_t>(lines_.size()); }
    const Line& rankEntry(int32_t i) const {
        if (ranked_.empty())
            for (const Line& line : lines_)
                ranked_.push_back(&line);
        return *ranked_[i];
    }

private:
    // Higher score first, then path, then lower line number.
    struct Before {
        bool operator()(const Line& a, const Line& b) const {
            return std::tie(b.score, a.path, a.lineNumber) <
                   std::tie(a.score, b.path, b.lineNumber);
        }
    };
    size_t capacity_;
    std::multiset<Line, Before> lines_;
    mutable std::vector<const Line*> ranked_;  // the rank positions, built when first read
};

}  // namespace tarvo::testing
