#include "preview/preview_document.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/path_list.h"
#include "engine/scan_file_reader.h"
#include "preview/keyword_table.h"
#include "view/marked_text.h"
#include "view/text_class.h"

namespace tarvo {

namespace {

bool isWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '#';
}

// The attribute's class bits, the way colouring tests them (mark and any
// higher bit masked off).
constexpr uint8_t kClassBits = 0x3F;

bool isCommentByte(const uint8_t* attrs, int i) {
    return (attrs[i] & kClassBits) == kCommentText;
}

// The line feeds in [from, to).
int32_t lineFeeds(const char* from, const char* to) {
    int32_t count = 0;
    while ((from = static_cast<const char*>(std::memchr(from, '\n', to - from)))) {
        ++from;
        ++count;
    }
    return count;
}

}  // namespace

void PreviewDocument::clear() {
    bytes_.reset();
    length_ = 0;
    widestLine_ = 0;
    lineOffset_ = 0;
    endsCut_ = false;
    missingLine_ = 0;
    starts_.clear();
    commentStates_.clear();
}

bool PreviewDocument::loadDocument(std::string_view path, std::string_view highlightList,
                                   int32_t line) {
    path_.assign(path);
    coloured_ = matchesExtensionList(path, highlightList);
    clear();
    if (path_.empty()) return true;
    line = std::max(line, 1);

    // The scanner's reader: it opens only regular files and never blocks on
    // a FIFO or a device that was put where a result's file stood.
    ScanFileReader file;
    if (!file.open(path_.c_str())) return false;
    const int64_t size = file.size();
    // A file whose size cannot be told, or whose buffer cannot be had, is
    // treated like one that cannot be opened: the path stays, no lines.
    if (size < 0) return false;
    // One read, of the file as text (engine/text_encoding.h); again, into a
    // larger buffer, only when a UTF-16 file's text outgrows its bytes (a
    // text that shrank, as ASCII in UTF-16 or after a UTF-8 mark, is whole
    // after the first read). A file that shrank since the size test gives fewer bytes; the
    // document is what was actually read.
    int32_t capacity = 0;
    const auto allocate = [&](int64_t bytes) {
        capacity = static_cast<int32_t>(std::min<int64_t>(bytes, kMaxPreviewBytes) + 1);
        bytes_.reset(new (std::nothrow) char[capacity]);
        return bytes_ != nullptr;
    };
    if (!allocate(size)) return false;
    length_ = file.readStart(bytes_.get(), capacity - 1) + 1;
    if (std::min<int64_t>(file.size(), kMaxPreviewBytes) + 1 > capacity) {
        if (!allocate(file.size())) return false;
        length_ = file.readAt(0, bytes_.get(), capacity - 1) + 1;
    }
    bytes_[length_ - 1] = '\0';
    endsCut_ = file.size() > length_ - 1;
    // Line tables that cannot grow leave the document like a buffer that
    // cannot be had.
    const bool indexed = indexLines() && (!readAgainFor(line) || readPart(file, capacity, line));
    if (!indexed) clear();
    return indexed;
}

bool PreviewDocument::readAgainFor(int32_t line) const {
    const bool whole = firstLine() == 1 && !endsCut_ && missingLine_ == 0;
    const bool held =
        line >= firstLine() && (line < lastLine() || (line == lastLine() && !endsCut_));
    return !whole && !held;
}

bool PreviewDocument::readPart(ScanFileReader& file, int32_t capacity, int32_t line) {
    char* const buffer = bytes_.get();
    // Line feeds counted on from the text held, whose last line is the one
    // the reads go on in; the buffer serves as the reads' window.
    int64_t offset = length_ - 1;
    int64_t current = lastLine();
    int64_t lineStart = line == current ? starts_.get(lineCount()) : -1;
    while (lineStart < 0) {
        const int32_t got = file.read(buffer, capacity - 1);
        if (got <= 0) break;
        const char* at = buffer;
        const char* const end = buffer + got;
        while (current < line && (at = static_cast<const char*>(std::memchr(at, '\n', end - at)))) {
            ++at;
            ++current;
        }
        if (current == line) lineStart = offset + (at - buffer);
        offset += got;
    }
    starts_.clear();
    commentStates_.clear();
    widestLine_ = 0;

    // The part: from the first line that begins after `from` (or at the
    // file's start), which leaves the line at least kPartBytesBefore bytes in.
    const int64_t from = std::max<int64_t>(lineStart - kPartBytesBefore, 0);
    const int32_t got = lineStart < 0 ? 0 : file.readAt(from, buffer, capacity - 1);
    const int64_t before = lineStart - from;  // the part's bytes before the line
    const char* const firstFeed = from == 0 || got < before
                                      ? buffer
                                      : static_cast<const char*>(std::memchr(buffer, '\n', before));
    // The file ends before the line, or no longer has it where it was
    // counted: it changed since it was searched.
    if (lineStart < 0 || got < before || !firstFeed) {
        length_ = 1;
        buffer[0] = '\0';
        endsCut_ = false;
        missingLine_ = line;
        return true;
    }
    const int32_t skip = from == 0 ? 0 : static_cast<int32_t>(firstFeed + 1 - buffer);
    lineOffset_ = line - 1 - lineFeeds(buffer + skip, buffer + before);
    std::memmove(buffer, buffer + skip, got - skip);
    length_ = got - skip + 1;
    buffer[length_ - 1] = '\0';
    endsCut_ = from + got < file.size();
    return indexLines();
}

bool PreviewDocument::indexLines() {
    const char* bytes = bytes_.get();
    // One pass: a line begins after every LF (the terminator too, giving an
    // empty last line after a final LF); its comment state is the scan's
    // state there. The tests read bytes[i] first, so bytes[i + 1] is at most
    // the terminator.
    bool grown =
        starts_.push(0) && starts_.push(0) && commentStates_.push(0) && commentStates_.push(0);
    bool inComment = false;
    int32_t lineStart = 0;
    int32_t tabs = 0;  // on the line so far: a tab takes up to the tab width
    const auto lineEnds = [&](int32_t end) {
        widestLine_ = std::max(widestLine_, lineColumns(end - lineStart, tabs));
    };
    for (int32_t i = 0; grown && i < length_; ++i) {
        if (i > 0 && bytes[i - 1] == '\n') {
            grown = starts_.push(i) && commentStates_.push(inComment ? 1 : 0);
            lineEnds(i);
            lineStart = i;
            tabs = 0;
        }
        tabs += bytes[i] == '\t';
        if (!inComment && bytes[i] == '/' && bytes[i + 1] == '*') inComment = true;
        if (inComment && bytes[i] == '*' && bytes[i + 1] == '/') inComment = false;
    }
    lineEnds(length_ - 1);
    return grown && starts_.push(length_ - 1);
}

void PreviewDocument::setTabWidth(int columns) {
    if (columns == tabWidth_) return;
    tabWidth_ = columns;
    widestLine_ = 0;
    for (int32_t line = firstLine(); line <= lastLine(); ++line) {
        const LineRange range = lineRange(line);
        const int32_t tabs = static_cast<int32_t>(
            std::count(bytes_.get() + range.start, bytes_.get() + range.end, '\t'));
        widestLine_ = std::max(widestLine_, lineColumns(range.end - range.start, tabs));
    }
}

void PreviewDocument::colourLine(int32_t line, const char* text, uint8_t* attrs) const {
    const int length = static_cast<int>(std::strlen(text));

    // 1. A comment continued from an earlier line runs to the first "*/".
    if (line >= firstLine() && line <= lastLine() && commentState(line) == 1 && length > 0) {
        for (int i = 0; i < length; ++i) {
            attrs[i] |= kCommentText;
            if (text[i] == '*' && text[i + 1] == '/') {
                attrs[i + 1] |= kCommentText;
                break;
            }
        }
    }

    // 2. Block comments opening on this row. The closing "*/" is looked for
    // from i + 2 on, so "/*/" does not close here.
    for (int i = 0; i < length; ++i) {
        if (isCommentByte(attrs, i) || text[i] != '/' || text[i + 1] != '*') continue;
        attrs[i] |= kCommentText;
        attrs[i + 1] |= kCommentText;
        for (int j = i + 2; j < length; ++j) {
            attrs[j] |= kCommentText;
            if (text[j] == '*' && text[j + 1] == '/') {
                attrs[j + 1] |= kCommentText;
                break;
            }
        }
    }

    // 3. The first "//" outside a comment comments out the rest of the row.
    for (int i = 0; i < length; ++i) {
        if (isCommentByte(attrs, i) || text[i] != '/' || text[i + 1] != '/') continue;
        for (int j = i; j < length; ++j)
            attrs[j] |= kCommentText;
        break;
    }

    // 4. Keywords: tokens of word bytes starting outside comments and
    // strings. Every double quote flips the string state, inside comments
    // too and with no regard for backslashes. The walk includes the
    // terminator so a token at the row's end is closed; the word-byte test
    // comes first, so the terminator's (absent) attribute is never read.
    bool inWord = false;
    bool inString = false;
    int start = 0;
    for (int i = 0; i <= length; ++i) {
        char c = text[i];
        if (c == '"') inString = !inString;
        if (inWord && !isWordByte(c)) {
            inWord = false;
            if (isKeyword(text + start, i - start)) {
                for (int j = start; j < i; ++j)
                    attrs[j] |= kKeywordText;
            }
        } else if (!inWord && isWordByte(c) && !isCommentByte(attrs, i) && !inString) {
            start = i;
            inWord = true;
        }
    }
}

}  // namespace tarvo
