#include "engine/ignore_rules.h"

#include <algorithm>
#include <unordered_set>

namespace tarvo {

namespace {

// The bytes after which Git's matcher starts looking at wildcards.
bool isWildcardByte(char c) {
    return c == '*' || c == '?' || c == '[' || c == '\\';
}

size_t literalLength(std::string_view pattern) {
    return static_cast<size_t>(std::find_if(pattern.begin(), pattern.end(), isWildcardByte) -
                               pattern.begin());
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Trailing blanks go unless the last of them is escaped; a '\' at the very
// end keeps the line whole.
std::string_view withoutTrailingBlanks(std::string_view line) {
    size_t firstBlank = std::string_view::npos;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ' ') {
            if (firstBlank == std::string_view::npos) firstBlank = i;
            continue;
        }
        if (line[i] == '\\' && ++i == line.size()) return line;
        firstBlank = std::string_view::npos;
    }
    return line.substr(0, firstBlank);
}

}  // namespace

IgnoreRules::IgnoreRules(std::string_view text, bool foldCase) : foldCase_(foldCase) {
    // A last line without its line feed counts, as Git adds one.
    std::vector<std::string_view> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        if (line.back() == '\r') line.remove_suffix(1);
        line = line.substr(0, line.find('\0'));
        lines.push_back(withoutTrailingBlanks(line));
    }
    // A rule written again says nothing the later copy does not say: only
    // the last of each is kept, so a file of one rule repeated a hundred
    // thousand times is matched as one rule.
    std::unordered_set<std::string_view> later;
    std::vector<std::string_view> kept;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (later.insert(*line).second) kept.push_back(*line);
    for (auto line = kept.rbegin(); line != kept.rend(); ++line)
        addRule(*line);

    groupStart_.assign(kAnyByte + 2, 0);
    for (const Rule& rule : rules_)
        ++groupStart_[rule.lastByte + 1];
    for (size_t b = 1; b < groupStart_.size(); ++b)
        groupStart_[b] += groupStart_[b - 1];
    byLastByte_.resize(rules_.size());
    std::vector<uint32_t> next(groupStart_.begin(), groupStart_.end() - 1);
    for (size_t i = rules_.size(); i-- > 0;)
        byLastByte_[next[rules_[i].lastByte]++] = static_cast<uint32_t>(i);
}

void IgnoreRules::addRule(std::string_view pattern) {
    Rule rule;
    rule.negative = !pattern.empty() && pattern[0] == '!';
    if (rule.negative) pattern.remove_prefix(1);
    rule.directoryOnly = !pattern.empty() && pattern.back() == '/';
    if (rule.directoryOnly) pattern.remove_suffix(1);
    rule.anyDepth = pattern.find('/') == std::string_view::npos;
    if (!rule.anyDepth && pattern[0] == '/') pattern.remove_prefix(1);
    if (pattern.empty()) return;  // matches no name
    const size_t literal = literalLength(pattern);
    if (rule.anyDepth && pattern[0] == '*' &&
        literalLength(pattern.substr(1)) == pattern.size() - 1) {
        rule.endsWith = true;
        rule.literal = pattern.substr(1);
    } else {
        rule.literal = pattern.substr(0, literal);
        rule.wildcard = literal < pattern.size();
        if (rule.wildcard)
            rule.rest = WildcardPattern(pattern.substr(literal), !rule.anyDepth, foldCase_);
    }
    rule.minLength = rule.literal.size() + (rule.wildcard ? rule.rest.minLength() : 0);
    if (!rule.endsWith && !rule.literal.empty())
        rule.firstByte = static_cast<unsigned char>(folded(rule.literal[0]));
    const char last = pattern.back();
    const bool escaped = pattern.size() > 1 && pattern[pattern.size() - 2] == '\\';
    if (!isWildcardByte(last) && last != ']' && !escaped)
        rule.lastByte = static_cast<unsigned char>(folded(last));
    rules_.push_back(std::move(rule));
}

char IgnoreRules::folded(char c) const {
    return foldCase_ ? lowerAscii(c) : c;
}

bool IgnoreRules::same(std::string_view a, std::string_view b) const {
    if (!foldCase_) return a == b;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

bool IgnoreRules::nameMatches(const Rule& rule, std::string_view name) const {
    const std::string_view literal = rule.literal;
    if (rule.endsWith)
        return name.size() >= literal.size() &&
               same(name.substr(name.size() - literal.size()), literal);
    return pathMatches(rule, name);
}

// The literal start compares as a whole, then the wildcards take the rest.
bool IgnoreRules::pathMatches(const Rule& rule, std::string_view path) const {
    const std::string_view literal = rule.literal;
    if (!rule.wildcard) return same(path, literal);
    return path.size() >= literal.size() && same(path.substr(0, literal.size()), literal) &&
           rule.rest.matches(path.substr(literal.size()));
}

IgnoreVerdict IgnoreRules::verdict(std::string_view path, size_t nameAt, bool isDirectory) const {
    if (rules_.empty() || path.empty()) return IgnoreVerdict::None;
    const std::string_view name = path.substr(nameAt);
    // The two groups that can match, merged from the last rule down.
    const int last = static_cast<unsigned char>(folded(path.back()));
    const uint32_t* ending = byLastByte_.data() + groupStart_[last];
    const uint32_t* endingEnd = byLastByte_.data() + groupStart_[last + 1];
    const uint32_t* any = byLastByte_.data() + groupStart_[kAnyByte];
    const uint32_t* anyEnd = byLastByte_.data() + groupStart_[kAnyByte + 1];
    while (ending != endingEnd || any != anyEnd) {
        const bool fromEnding = any == anyEnd || (ending != endingEnd && *ending > *any);
        const Rule& rule = rules_[fromEnding ? *ending++ : *any++];
        const std::string_view subject = rule.anyDepth ? name : path;
        if ((rule.directoryOnly && !isDirectory) || rule.minLength > subject.size() ||
            (rule.firstByte >= 0 &&
             rule.firstByte != static_cast<unsigned char>(folded(subject[0])))) {
            continue;
        }
        const bool matched = rule.anyDepth ? nameMatches(rule, name) : pathMatches(rule, path);
        if (matched) return rule.negative ? IgnoreVerdict::Kept : IgnoreVerdict::Ignored;
    }
    return IgnoreVerdict::None;
}

}  // namespace tarvo
