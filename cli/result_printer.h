// One printed line per result, in the three output formats of tarvo-find.
#pragma once

#include <string>

#include "results/result_store.h"

namespace tarvo {

class TermTable;

// Backslash, tab, CR and LF as \\ \t \r \n; other bytes raw. Applied to the
// path and the line text, so every result is exactly one TSV line.
std::string escapeTsv(const std::string& text);

// A JSON string body: bytes that are not valid UTF-8 are written as \u00XX
// (read as Latin-1), control characters escaped, so every line is valid JSON.
std::string escapeJson(const std::string& text);

// rank<TAB>score<TAB>path<TAB>line<TAB>text
std::string formatTsv(const ResultEntry& entry);
// {"rank":..,"score":..,"path":"..","line":..,"text":".."}
std::string formatJsonl(const ResultEntry& entry);
// "rank  path (line)  text" as the results list shows it: tabs expanded per
// marked run, CR and LF dropped from the end, terms on yellow with colour.
std::string formatText(const ResultEntry& entry, const TermTable& terms, bool color);

}  // namespace tarvo
