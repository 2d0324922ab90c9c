#include "app/whole_lines.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "engine/line_excerpt.h"
#include "engine/line_scoring.h"
#include "engine/scan_file_reader.h"

namespace tarvo {

namespace {

constexpr int32_t kReadChunk = 65536;

// The scanner reads no larger file, so no line it found lies past this.
constexpr int64_t kMaxSearchedFileSize = INT32_MAX;

// Longer lines are printed as stored: formatting a line takes several copies
// of it, and a line of a file near 2 GiB would not fit in memory.
constexpr int64_t kMaxWholeLine = 16 << 20;

// The stored text is the line's start, or its excerpt: "…" and bytes from
// further in.
bool holdsStoredText(std::string_view line, std::string_view stored) {
    if (line.starts_with(stored)) return true;
    return stored.starts_with(kExcerptMark) &&
           line.find(stored.substr(kExcerptMark.size()), 1) != std::string_view::npos;
}

}  // namespace

bool isCutText(const std::string& lineText) {
    return lineText.starts_with(kExcerptMark) ||
           (lineText.size() == kMaxLineText && lineText.back() != '\n');
}

// A line begins after every line feed that a byte follows, so a file ending
// with a line feed has no extra empty line, as in the scanner.
std::vector<LineSpan> findLineSpans(const ReadFunction& read, const std::vector<int32_t>& lines,
                                    int64_t limit) {
    std::vector<LineSpan> spans(lines.size());
    std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    size_t next = 0;  // the first wanted line not found yet
    int32_t line = 1;
    int64_t lineBegin = 0;
    int64_t offset = 0;  // file offset of buffer[0]
    bool ended = false;  // the file ended within the limit
    while (next < lines.size() && offset < limit) {
        const int32_t got =
            read(buffer.get(), static_cast<int32_t>(std::min<int64_t>(kReadChunk, limit - offset)));
        ended = got <= 0;
        if (ended) break;
        const char* const end = buffer.get() + got;
        for (const char* at = buffer.get(); next < lines.size(); ++at) {
            at = static_cast<const char*>(std::memchr(at, '\n', end - at));
            if (at == nullptr) break;
            const int64_t lineEnd = offset + (at - buffer.get()) + 1;
            if (lines[next] == line) spans[next++] = {lineBegin, lineEnd, {}};
            ++line;
            lineBegin = lineEnd;
        }
        offset += got;
    }
    // The last line, without a line feed.
    if (ended && next < lines.size() && lines[next] == line && offset > lineBegin)
        spans[next] = {lineBegin, offset, {}};
    return spans;
}

std::vector<LineSpan> findWholeLines(const std::vector<const ResultEntry*>& rows) {
    std::vector<LineSpan> spans(rows.size());
    std::vector<size_t> cut;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (isCutText(rows[i]->lineText)) cut.push_back(i);
    }
    // By path, then line: each file is read once, its lines in file order.
    std::sort(cut.begin(), cut.end(), [&](size_t a, size_t b) {
        const int order = rows[a]->path.compare(rows[b]->path);
        return order != 0 ? order < 0 : rows[a]->lineNumber < rows[b]->lineNumber;
    });
    for (size_t first = 0, last = 0; first < cut.size(); first = last) {
        const std::string& path = rows[cut[first]]->path;
        std::vector<int32_t> lines;
        for (last = first; last < cut.size() && rows[cut[last]]->path == path; ++last)
            lines.push_back(rows[cut[last]]->lineNumber);
        ScanFileReader file;
        if (!file.open(path.c_str())) continue;  // gone since the search: the stored texts stay
        bool started = false;                    // the file is read as text, as the scanner read it
        const std::vector<LineSpan> found = findLineSpans(
            [&](char* buffer, int32_t bytes) {
                return std::exchange(started, true) ? file.read(buffer, bytes)
                                                    : file.readStart(buffer, bytes);
            },
            lines, kMaxSearchedFileSize);
        for (size_t k = 0; k < found.size(); ++k) {
            spans[cut[first + k]] = found[k];
            spans[cut[first + k]].from = file.placeOf(found[k].begin);
        }
    }
    return spans;
}

std::string wholeLineText(const ResultEntry& row, LineSpan span) {
    const int64_t length = span.end - span.begin;
    if (span.begin < 0 || length <= static_cast<int64_t>(row.lineText.size()) ||
        length > kMaxWholeLine)
        return row.lineText;
    std::string line(static_cast<size_t>(length), '\0');
    ScanFileReader file;
    if (!file.open(row.path.c_str())) return row.lineText;
    // As text, as the scanner read it, from the place findWholeLines noted.
    if (file.readFrom(span.from, span.begin, line.data(), static_cast<int32_t>(length)) != length ||
        !holdsStoredText(line, row.lineText))
        return row.lineText;
    return line;
}

}  // namespace tarvo
