// The rules of one gitignore(5) file (a folder's .gitignore, a work tree's
// .git/info/exclude or the user's global excludes file), read and matched
// as Git reads and matches them.
//
// Reading, line by line: blank lines and lines starting with '#' say
// nothing; a carriage return before the line feed is dropped; trailing
// blanks are dropped unless escaped with '\'; a NUL ends the line, as it
// ends Git's C string. A rule is a pattern, after an optional '!' (the rule
// re-includes) and before an optional '/' (it names folders only); "\!" and
// "\#" start a pattern with those bytes.
//
// Matching a path relative to the file's folder: a pattern without a '/'
// (the trailing one aside) is matched against the last name alone, at any
// depth; any other is anchored to the folder and matched against the whole
// relative path, a leading '/' dropped. The last rule that matches decides.
// Which file's rules ask first, and that nothing below an ignored folder is
// looked at, is the walk's part (see IgnoreStack).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/wildcard_pattern.h"

namespace tarvo {

enum class IgnoreVerdict {
    None,     // no rule of this file matches
    Ignored,  // the last matching rule ignores the path
    Kept,     // the last matching rule re-includes it ('!')
};

class IgnoreRules {
public:
    IgnoreRules() = default;
    // `text`: the file's bytes as the reader gives them (a UTF-8 byte-order
    // mark already passed over). `foldCase`: letters compare without case,
    // as Git for Windows compares them by default.
    IgnoreRules(std::string_view text, bool foldCase);

    // `path`: '/'-separated, relative to the rule file's folder, without a
    // separator at either end; `nameAt`: where its last name starts.
    IgnoreVerdict verdict(std::string_view path, size_t nameAt, bool isDirectory) const;
    bool empty() const { return rules_.empty(); }

private:
    struct Rule {
        std::string literal;    // the pattern's start up to its first wildcard
        WildcardPattern rest;   // what follows it
        bool wildcard = false;  // `rest` is more than nothing
        bool endsWith = false;  // "*literal": the name ends with literal
        bool negative = false;
        bool directoryOnly = false;
        bool anyDepth = false;  // matched against the last name alone
        // Quick refusals before the pattern is asked: the fewest bytes a
        // match holds, the byte it ends with when that is one plain byte
        // (folded when letters fold), else kAnyByte, and the first byte of
        // its literal start, else -1.
        size_t minLength = 0;
        int lastByte = kAnyByte;
        int firstByte = -1;
    };
    static constexpr int kAnyByte = 256;

    void addRule(std::string_view line);
    bool nameMatches(const Rule& rule, std::string_view name) const;
    bool pathMatches(const Rule& rule, std::string_view path) const;
    bool same(std::string_view a, std::string_view b) const;
    char folded(char c) const;

    std::vector<Rule> rules_;  // in file order; the last that matches decides
    bool foldCase_ = false;
    // The rules' indexes grouped by the byte they end with, each group from
    // the last rule to the first: a path is asked only of the rules that
    // can end with its last byte (a few of a long file) and of kAnyByte's.
    std::vector<uint32_t> byLastByte_;
    std::vector<uint32_t> groupStart_;  // group b is [groupStart_[b], groupStart_[b + 1])
};

}  // namespace tarvo
