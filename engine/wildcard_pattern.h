// One wildcard pattern of a gitignore(5) rule, matched as Git matches it:
// '*', '?', '[...]' (ranges, '!' or '^' negation, "[:alpha:]" classes), '\'
// taking the next byte literally, and "**" between slashes crossing them.
//
// Git's own matcher backtracks; this one compiles the pattern into a row of
// steps and runs them side by side over the text (each step one byte, or a
// star that loops), so its time grows with pattern length times text
// length, never exponentially: a rule file of ten thousand '*' costs no more
// than reading it. Where Git's matcher has quirks they are kept, since a
// rule must mean here what it means to `git check-ignore`:
// - A bracket that is never closed, a "[:class:]" Git does not know, and a
//   '\' at the end make the whole pattern match nothing.
// - With letter case folded, the text is folded but a byte after '\' and a
//   single byte inside brackets are not ("\A" and "[A]" match nothing);
//   ranges and "[:upper:]" fold.
// - "**" counts as crossing slashes when a slash or the pattern's start
//   stands before it and a slash or the end after it; the caller hands in
//   what follows a rule's literal start, so "foo**/bar" behaves as Git's
//   "**/bar" after "foo".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class WildcardPattern {
public:
    WildcardPattern() = default;  // matches the empty text only
    // `pathname`: '*', '?' and brackets never match '/', and "**" crosses
    // slashes only as above (Git's WM_PATHNAME); without it every wildcard
    // matches '/' too. `foldCase`: ASCII letters compare folded, as Git does
    // with core.ignorecase.
    WildcardPattern(std::string_view pattern, bool pathname, bool foldCase);

    bool matches(std::string_view text) const;
    // The fewest bytes a text it matches holds.
    size_t minLength() const { return minLength_; }

private:
    // A step takes one byte of `bytes`, or, as a loop, any number of them.
    // A fork takes none: it stands before the loop of "**/" and leads both
    // into it and past it and its slash, so that "a/**/b" matches "a/b".
    enum class Kind { Byte, Loop, Fork };
    struct Step {
        uint64_t bytes[4] = {};
        Kind kind = Kind::Byte;
        bool takes(unsigned char c) const { return (bytes[c >> 6] >> (c & 63)) & 1; }
    };

    void addStep(const Step& step) { steps_.push_back(step); }
    // Parses the bracket that opens at pattern[at]; false when Git's
    // matcher would give up on it.
    bool addBracket(std::string_view pattern, size_t& at, bool pathname, bool foldCase);
    bool runSteps(std::string_view text, size_t first, size_t last) const;
    bool holdsAnchor(std::string_view text) const;

    std::vector<Step> steps_;
    bool never_ = false;    // the pattern matches nothing
    size_t minLength_ = 0;  // the fewest bytes a match takes
    size_t lead_ = 0;       // single-byte steps before the first loop or fork
    size_t trail_ = 0;      // single-byte steps after the last loop that no fork passes
    // The longest row of single-byte steps between the first and the last
    // loop, which any text it matches holds somewhere in its middle: most
    // names are refused by looking for it, without the side-by-side run.
    size_t anchor_ = 0;
    size_t anchorLength_ = 0;
    std::string anchorText_;  // the row's bytes when each step takes one byte only
    bool hasLoop_ = false;
};

}  // namespace tarvo
