// The engine suites' own sink: every line it is handed, best first, up to a
// capacity; once full it sets its bar by the worst line it keeps, as any
// sink must, so a run can be held to the rules of a full sink.
#pragma once

#include <algorithm>
#include <cstring>
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
    };
    explicit CollectingSink(size_t capacity = kMaxResults) : capacity_(capacity) {}

    void addResult(int32_t score, const char* path, int32_t lineNumber,
                   std::string_view lineText) override {
        if (!entryBar(path).admits(score, lineNumber)) return;
        const Line line{score, path, lineNumber, std::string(lineText)};
        lines_.insert(std::upper_bound(lines_.begin(), lines_.end(), line, before), line);
        if (lines_.size() > capacity_) lines_.pop_back();
    }
    EntryBar entryBar(const char* path) const override {
        if (lines_.size() < capacity_) return {};
        const Line& worst = lines_.back();
        const int byPath = std::strcmp(path, worst.path.c_str());
        return {worst.score, byPath < 0 ? INT32_MAX : byPath > 0 ? INT32_MIN : worst.lineNumber};
    }
    void clearResults() override { lines_.clear(); }
    void visitInRankOrder(const std::function<void(const char*, int32_t)>& visit) const override {
        for (size_t i = 0; i < lines_.size(); ++i)
            visit(lines_[i].path.c_str(), static_cast<int32_t>(i));
    }
    int32_t count() const { return static_cast<int32_t>(lines_.size()); }
    const Line& rankEntry(int32_t i) const { return lines_[i]; }

private:
    // Higher score first, then path, then lower line number.
    static bool before(const Line& a, const Line& b) {
        return std::tie(b.score, a.path, a.lineNumber) < std::tie(a.score, b.path, b.lineNumber);
    }
    size_t capacity_;
    std::vector<Line> lines_;
};

}  // namespace tarvo::testing
