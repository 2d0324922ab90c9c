#include "cli/result_printer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/term_table.h"
#include "view/marked_text.h"

namespace tarvo {

namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when the
// bytes there do not form one (overlong forms and surrogates included).
size_t utf8SequenceLength(const std::string& text, size_t i) {
    auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    auto continuation = [&](size_t k) { return k < text.size() && (byte(k) & 0xC0) == 0x80; };
    uint8_t lead = byte(i);
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return continuation(i + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!continuation(i + 1) || !continuation(i + 2)) return 0;
        if (lead == 0xE0 && byte(i + 1) < 0xA0) return 0;   // overlong
        if (lead == 0xED && byte(i + 1) >= 0xA0) return 0;  // surrogate
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!continuation(i + 1) || !continuation(i + 2) || !continuation(i + 3)) return 0;
        if (lead == 0xF0 && byte(i + 1) < 0x90) return 0;   // overlong
        if (lead == 0xF4 && byte(i + 1) >= 0x90) return 0;  // above U+10FFFF
        return 4;
    }
    return 0;
}

// Appends the visible form of one byte: a control byte other than tab
// becomes two characters, so it can neither end the record nor reach the
// terminal as a command.
void appendShown(std::string& out, uint8_t c) {
    if (c == '\n') {
        out += "\\n";
    } else if (c == '\r') {
        out += "\\r";
    } else if ((c < 0x20 && c != '\t') || c == 0x7f) {
        out += '^';
        out += static_cast<char>(c ^ 0x40);  // ESC -> [, DEL -> ?
    } else {
        out += static_cast<char>(c);
    }
}

// ,"name":"text" and, when the text is not valid UTF-8 or holds a NUL
// (which many readers of JSON cut a string at), ,"name_bytes":"..."
void appendJsonText(std::string& out, const char* name, const std::string& text) {
    out += ",\"";
    out += name;
    out += "\":\"";
    out += escapeJson(text);
    out += '"';
    if (isValidUtf8(text) && text.find('\0') == std::string::npos) return;
    out += ",\"";
    out += name;
    out += "_bytes\":\"";
    out += base64(text);
    out += '"';
}

// The line's text after the record's head: on a terminal with its control
// bytes shown and its tabs expanded from the line's start, as the results list
// draws it; into a pipe as it is. `marks` holds one byte per text byte.
void appendMarkedText(std::string& out, const std::string& text, const std::vector<uint8_t>& marks,
                      const PrintStyle& style) {
    static constexpr const char* kMarkOn = "\x1b[30;103m";  // black on light yellow
    static constexpr const char* kMarkOff = "\x1b[0m";
    auto append = [&](std::string_view run, uint8_t attribute) {
        const bool marked = style.color && (attribute & kMarkBit);
        if (marked) out += kMarkOn;
        out += run;
        if (marked) out += kMarkOff;
    };
    if (!style.terminal) {
        for (size_t i = 0, j = 0; i < text.size(); i = j) {
            for (j = i; j < text.size() && marks[j] == marks[i];)
                ++j;
            append(std::string_view(text).substr(i, j - i), marks[i]);
        }
        return;
    }
    // Each shown byte keeps the mark of the byte it stands for; no NUL is
    // left for the run cutting to stop at.
    std::string shown;
    std::vector<uint8_t> shownMarks;
    for (size_t i = 0; i < text.size(); ++i) {
        appendShown(shown, static_cast<uint8_t>(text[i]));
        shownMarks.resize(shown.size(), marks[i]);
    }
    shownMarks.push_back(0);
    std::string run;
    uint8_t attribute = 0;
    int column = 0;
    for (int i = 0; shown.c_str()[i] != '\0';) {
        i = nextRun(shown.c_str(), shownMarks.data(), i, column, run, attribute, style.tabWidth);
        append(run, attribute);
    }
}

// kMarkBit on every byte of a term occurrence, one mark per byte of `text`.
// Terms hold no NUL byte, so each stretch between NULs is marked alone.
std::vector<uint8_t> termMarks(const std::string& text, const TermTable& terms) {
    std::vector<uint8_t> marks(text.size() + 1, 0);
    for (size_t at = 0; at < text.size(); at += std::strlen(text.c_str() + at) + 1)
        terms.markTermMatches(text.c_str() + at, marks.data() + at);
    marks.pop_back();
    return marks;
}

}  // namespace

std::string escapeTsv(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string escapeJson(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    char hex[8];
    for (size_t i = 0; i < text.size();) {
        uint8_t c = static_cast<uint8_t>(text[i]);
        size_t length = utf8SequenceLength(text, i);
        if (length > 1) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || length == 0) {
                    std::snprintf(hex, sizeof hex, "\\u%04x", c);
                    out += hex;
                } else {
                    out += static_cast<char>(c);
                }
        }
        ++i;
    }
    return out;
}

bool isValidUtf8(const std::string& text) {
    for (size_t i = 0, length = 0; i < text.size(); i += length) {
        length = utf8SequenceLength(text, i);
        if (length == 0) return false;
    }
    return true;
}

std::string base64(const std::string& bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<uint8_t>(bytes[i + k]) : 0u);
        // n bytes give n + 1 digits; '=' pads the group to four.
        for (size_t k = 0; k < 4; ++k)
            out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

std::string showControls(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        appendShown(out, static_cast<uint8_t>(c));
    return out;
}

std::string lineBody(const std::string& text) {
    size_t length = text.size();
    if (length > 0 && text[length - 1] == '\n') {
        --length;
        if (length > 0 && text[length - 1] == '\r') --length;
    }
    return text.substr(0, length);
}

// Built by appending, field by field: every piece is its own operation.
std::string formatTsv(const ResultEntry& entry, const std::string& text) {
    std::string out = std::to_string(entry.rankIndex + 1);
    out += '\t';
    out += std::to_string(entry.score);
    out += '\t';
    out += escapeTsv(entry.path);
    out += '\t';
    out += std::to_string(entry.lineNumber);
    out += '\t';
    out += escapeTsv(text);
    return out;
}

std::string formatJsonl(const ResultEntry& entry, const std::string& text) {
    std::string out = "{\"rank\":";
    out += std::to_string(entry.rankIndex + 1);
    out += ",\"score\":";
    out += std::to_string(entry.score);
    appendJsonText(out, "path", entry.path);
    out += ",\"line\":";
    out += std::to_string(entry.lineNumber);
    appendJsonText(out, "text", text);
    out += '}';
    return out;
}

size_t termColumn(const std::string& line, const TermTable& terms) {
    const std::vector<uint8_t> marks = termMarks(line, terms);
    const auto first =
        std::find_if(marks.begin(), marks.end(), [](uint8_t m) { return m & kMarkBit; });
    return first == marks.end() ? 1 : static_cast<size_t>(first - marks.begin()) + 1;
}

size_t vimgrepColumn(const ResultEntry& entry, const std::string& line, const TermTable& terms) {
    return entry.termColumn > 0 ? static_cast<size_t>(entry.termColumn) : termColumn(line, terms);
}

std::string formatMatch(const ResultEntry& entry, const std::string& line,
                        std::optional<size_t> column, const TermTable& terms,
                        const PrintStyle& style) {
    const std::string body = lineBody(line);
    std::vector<uint8_t> marks = termMarks(body, terms);

    std::string out;
    if (style.rank) {
        out += std::to_string(entry.rankIndex + 1);
        out += ':';
        out += std::to_string(entry.score);
        out += ':';
    }
    out += style.terminal ? showControls(entry.path) : entry.path;
    out += style.nullAfterPath ? '\0' : ':';
    out += std::to_string(entry.lineNumber);
    out += ':';
    if (column) {
        out += std::to_string(*column);
        out += ':';
    }
    appendMarkedText(out, body, marks, style);
    return out;
}

void appendPathRecord(std::string& out, std::string_view path, const PrintStyle& style) {
    if (style.terminal) {
        for (char c : path)
            appendShown(out, static_cast<uint8_t>(c));
    } else {
        out += path;
    }
    out += style.nullAfterPath ? '\0' : '\n';
}

}  // namespace tarvo
