#include "cli/result_printer.h"

#include <cstdint>
#include <cstdio>
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

// Appended piece by piece: GCC 12 at -O2 reports a false -Wrestrict for
// "text" + std::string&& (GCC bug 105329).
std::string quoted(const std::string& text) {
    std::string out = "\"";
    out += escapeJson(text);
    out += '"';
    return out;
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

std::string formatTsv(const ResultEntry& entry) {
    return std::to_string(entry.rankIndex + 1) + '\t' + std::to_string(entry.score) + '\t' +
           escapeTsv(entry.path) + '\t' + std::to_string(entry.lineNumber) + '\t' +
           escapeTsv(entry.lineText);
}

std::string formatJsonl(const ResultEntry& entry) {
    return "{\"rank\":" + std::to_string(entry.rankIndex + 1) +
           ",\"score\":" + std::to_string(entry.score) + ",\"path\":" + quoted(entry.path) +
           ",\"line\":" + std::to_string(entry.lineNumber) + ",\"text\":" + quoted(entry.lineText) +
           "}";
}

std::string formatText(const ResultEntry& entry, const TermTable& terms, bool color) {
    static constexpr const char* kMarkOn = "\x1b[30;103m";  // black on light yellow
    static constexpr const char* kMarkOff = "\x1b[0m";

    std::string text = entry.lineText;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();

    // The list pane cuts a marked text into runs and expands tabs per run;
    // printing the same runs keeps the terminal in step with the window.
    std::vector<uint8_t> marks(text.size() + 1, 0);
    terms.markTermMatches(text.c_str(), marks.data());

    char head[32];
    std::snprintf(head, sizeof head, "%4d  ", entry.rankIndex + 1);
    std::string out = head + entry.path + " (" + std::to_string(entry.lineNumber) + ")  ";
    std::string run;
    uint8_t attribute = 0;
    for (int i = 0; text.c_str()[i] != '\0';) {
        i = nextRun(text.c_str(), marks.data(), i, run, attribute);
        bool marked = color && (attribute & MarkBit);
        if (marked) out += kMarkOn;
        out += run;
        if (marked) out += kMarkOff;
    }
    return out;
}

}  // namespace tarvo
