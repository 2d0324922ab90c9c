// Where the engine hands its results. The engine owns this interface, so it
// needs nothing of the rooms above it: the result store implements it, and
// a test may bring its own.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <string_view>

namespace tarvo {

// A sink keeps the best this many lines in rank order: higher score first,
// then path (ASCII letters folded), then lower line number. (9999, not
// 10000: the results list's Rank column width.)
inline constexpr int32_t kMaxResults = 9999;

// What a new line of one file must beat to be kept: a score above `score`,
// or that score and a line number below `lineBelow`. While a sink has room
// every line passes. Its bar only ever rises, so a line turned away now
// would be turned away later too: a scanner may test its lines against a
// bar taken earlier and skip the work of making the ones it fails.
struct EntryBar {
    int32_t score = INT32_MIN;
    int32_t lineBelow = INT32_MAX;
    bool admits(int32_t lineScore, int32_t lineNumber) const {
        return lineScore > score || (lineScore == score && lineNumber < lineBelow);
    }
};

class ResultSink {
public:
    // One scored line, with its stored text: the line's first bytes, NUL
    // bytes included (a file read with Skip Binary Files off may hold
    // them), and `termColumn`, where the line's first term begins in the
    // whole line (its 1-based byte column; 0 when not known), which the
    // stored text of a long line may not tell. A file that counts by its
    // path alone comes as score -1, line 0 and an empty text.
    virtual void addResult(int32_t score, const char* path, int32_t lineNumber,
                           std::string_view lineText, int32_t termColumn = 0) = 0;
    // The bar a line of `path` must pass to be kept, as things stand; a line
    // ranked exactly like the worst kept one is turned away too.
    virtual EntryBar entryBar(const char* path) const = 0;
    // Forgets every result: a run starts.
    virtual void clearResults() = 0;
    // Calls visit(path, position) for every result in rank order, best first.
    virtual void visitInRankOrder(
        const std::function<void(const char* path, int32_t position)>& visit) const = 0;

protected:
    ~ResultSink() = default;
};

}  // namespace tarvo
