// The lines one file's scan keeps until the run hands them to its results,
// in the order they were scored. A scan finds out only at the file's end
// whether the file counts (a NUL may stand anywhere), and a run of several
// scanners hands the files on in the order the walk met them; so lines wait
// here, not in the sink.
//
// Memory stays bounded however many lines a file holds: a line is kept only
// when it passes the sink's bar, taken when the file's scan began, and
// ranks among the best kMaxResults lines of the file so far (no other line
// of the file can be among the best kMaxResults of the run). Once twice
// that many are kept, the worse half goes, and the file's own bar rises to
// its worst kept line.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/line_scoring.h"
#include "engine/result_sink.h"

namespace tarvo {

class FileResults {
public:
    // Empties it for a file whose lines must pass `bar`, the sink's bar for
    // the file's path.
    void start(const EntryBar& bar);

    // Whether a line of this score and number would be kept now.
    bool admits(int32_t score, int32_t lineNumber) const {
        return sinkBar_.admits(score, lineNumber) && fileBar_.admits(score, lineNumber);
    }
    // Keeps the line if `admits` lets it in: `length` bytes of text, at
    // most kMaxLineText, and its first term's column (see ResultSink).
    void add(int32_t score, int32_t lineNumber, const char* text, int32_t length,
             int32_t termColumn);
    // Forgets the lines kept: the file turned out not to count.
    void clear() { lines_.clear(); }

    // Hands every kept line to the sink, in the order they were added.
    void handTo(ResultSink& sink, const char* path) const;

    int32_t count() const { return static_cast<int32_t>(lines_.size()); }

private:
    struct Line {
        int32_t score;
        int32_t lineNumber;
        int32_t length;
        int32_t termColumn;
        std::array<char, kMaxLineText> text;
    };
    void keepTheBest();

    std::vector<Line> lines_;
    EntryBar sinkBar_;
    EntryBar fileBar_;  // the worst line kept when the file's lines were last cut down
};

}  // namespace tarvo
