#include "engine/file_results.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tarvo {

namespace {

// The lines' room a FileResults keeps from one file to the next.
constexpr size_t kKeptRoom = 256;

// One file's rank order: its lines share the path.
struct Rank {
    int32_t score;
    int32_t lineNumber;
    bool operator<(const Rank& other) const {
        return score != other.score ? score > other.score : lineNumber < other.lineNumber;
    }
};

}  // namespace

void FileResults::start(const EntryBar& bar) {
    // A file that kept many lines gives their room back: the run holds
    // many of these at once.
    if (lines_.capacity() > kKeptRoom) lines_ = {};
    lines_.clear();
    sinkBar_ = bar;
    fileBar_ = {};
}

void FileResults::add(int32_t score, int32_t lineNumber, const char* text, int32_t length,
                      int32_t termColumn) {
    if (!admits(score, lineNumber)) return;
    Line& line = lines_.emplace_back();
    line.score = score;
    line.lineNumber = lineNumber;
    line.length = length;
    line.termColumn = termColumn;
    std::memcpy(line.text.data(), text, length);
    if (count() == 2 * kMaxResults) keepTheBest();
}

// Keeps the best kMaxResults lines, in the order they came. Line numbers
// are distinct, so exactly that many stay and the worst of them is the bar.
void FileResults::keepTheBest() {
    std::vector<Rank> ranks;
    ranks.reserve(lines_.size());
    for (const Line& line : lines_)
        ranks.push_back({line.score, line.lineNumber});
    std::nth_element(ranks.begin(), ranks.begin() + (kMaxResults - 1), ranks.end());
    const Rank worst = ranks[kMaxResults - 1];
    std::erase_if(lines_, [&](const Line& line) {
        return worst < Rank{line.score, line.lineNumber};
    });
    fileBar_ = {worst.score, worst.lineNumber};
}

void FileResults::handTo(ResultSink& sink, const char* path) const {
    for (const Line& line : lines_)
        sink.addResult(line.score, path, line.lineNumber,
                       std::string_view(line.text.data(), line.length), line.termColumn);
}

}  // namespace tarvo
