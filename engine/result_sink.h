// Where the engine hands its results. The engine owns this interface, so it
// needs nothing of the rooms above it: the result store implements it, and
// a test may bring its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace tarvo {

class ResultSink {
public:
    // One scored line, with its stored text: the line's first bytes, NUL
    // bytes included (a file read with Skip Binary Files off may hold
    // them). A file that counts by its path alone comes as score -1, line 0
    // and an empty text.
    virtual void addResult(int32_t score, const char* path, int32_t lineNumber,
                           std::string_view lineText) = 0;
    // False when a line of this score would be turned away now, so the
    // caller can skip the work of making it; a line ranked exactly like the
    // worst kept one is turned away too.
    virtual bool couldEnter(int32_t score, const char* path, int32_t lineNumber) const = 0;
    // Forgets every result: a run starts.
    virtual void clearResults() = 0;
    // Calls visit(path, position) for every result in rank order, best first.
    virtual void visitInRankOrder(
        const std::function<void(const char* path, int32_t position)>& visit) const = 0;

protected:
    ~ResultSink() = default;
};

}  // namespace tarvo
