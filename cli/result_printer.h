// One printed record per result, in the output formats of tarvo-find.
//
// The line-oriented formats follow grep's conventions so terminals and
// editors can open the line: PATH:LINE:TEXT, and PATH:LINE:COLUMN:TEXT for
// quickfix lists. Into a pipe the bytes go out as they are in the file; on
// a terminal, control bytes are shown visibly so a name or a line cannot
// split a record or send escape sequences to the terminal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "results/result_store.h"
#include "view/marked_text.h"

namespace tarvo {

class TermTable;

// How the line-oriented records are printed.
struct PrintStyle {
    bool terminal = false;       // controls shown, tabs expanded; else the bytes as they are
    bool color = false;          // terms on a yellow background
    bool rank = false;           // RANK:SCORE: in front
    bool nullAfterPath = false;  // a NUL, not ':' (or the line end of a bare path), after each path
    int tabWidth = kDefaultTabWidth;  // columns between the tab stops shown on a terminal
};

// Backslash, tab, CR and LF as \\ \t \r \n; other bytes raw. Applied to the
// path and the line text, so every result is exactly one TSV line.
std::string escapeTsv(const std::string& text);

// A JSON string body: bytes that are not valid UTF-8 are written as \u00XX
// (read as Latin-1), control characters escaped, so every line is valid JSON.
std::string escapeJson(const std::string& text);

bool isValidUtf8(const std::string& text);

// Standard base64 with padding.
std::string base64(const std::string& bytes);

// Control bytes other than tab made visible: LF and CR as \n and \r, the
// rest as ^X (ESC as ^[, DEL as ^?).
std::string showControls(const std::string& text);

// The line's bytes without its line end: a final LF, and a CR before it.
std::string lineBody(const std::string& text);

// The record of a result whose line reads `text` (without its line end):
// rank<TAB>score<TAB>path<TAB>line<TAB>text
std::string formatTsv(const ResultEntry& entry, const std::string& text);
// {"rank":..,"score":..,"path":"..","line":..,"text":".."}, with
// "path_bytes" and "text_bytes" (base64 of the exact bytes) after a path or
// text that is not valid UTF-8 or holds a NUL, so a script can still open
// the real file and read the line as it is.
std::string formatJsonl(const ResultEntry& entry, const std::string& text);

// The 1-based byte column of the first term on the line, 1 when none is
// there.
size_t termColumn(const std::string& line, const TermTable& terms);

// The column of a vimgrep record: where the scan found the line's first term
// (the stored text of a long line may hold only the line's start, and the
// file may be gone), else termColumn of `line`.
size_t vimgrepColumn(const ResultEntry& entry, const std::string& line, const TermTable& terms);

// [RANK:SCORE:]PATH:LINE:[COLUMN:]TEXT for a result printed with the text
// `line` (the stored text, or the whole line from the file; with or without
// its line end); COLUMN when one is given (vimgrepColumn). On
// a terminal the text is shown as the results list shows it: tabs expanded
// per marked run.
std::string formatMatch(const ResultEntry& entry, const std::string& line,
                        std::optional<size_t> column, const TermTable& terms,
                        const PrintStyle& style);

// Appends the path alone, ended by a line feed, or by a NUL with
// nullAfterPath.
void appendPathRecord(std::string& out, std::string_view path, const PrintStyle& style);

}  // namespace tarvo
