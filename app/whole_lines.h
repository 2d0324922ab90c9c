// The whole lines behind results whose stored text was cut. The store keeps
// 150 bytes of a line: its start, or an excerpt around a term further in
// (engine/line_excerpt.h); printed into a pipe by tarvo-find, or copied from
// the window, a line goes out whole, as grep prints it, so the long ones
// are found again in their files, read as text as the scanner read them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/scan_file_reader.h"
#include "results/result_store.h"

namespace tarvo {

// Where one line lies in its file's text: [begin, end), its line end
// included, and the place of its start (see ScanFileReader::placeOf), so a
// UTF-16 file is not decoded from its start again for each of its lines.
struct LineSpan {
    int64_t begin = -1;  // -1: not found
    int64_t end = -1;
    TextPlace from;
};

// Whether a stored text is only part of its line: an excerpt, or a start
// that fills the stored length with no line feed ending it.
bool isCutText(const std::string& lineText);

// Fills `buffer` with up to `bytes` of the file's next bytes; the count, 0
// at the end.
using ReadFunction = std::function<int32_t(char* buffer, int32_t bytes)>;

// The spans of the wanted lines (1-based, ascending, distinct), numbered as
// the scanner numbers them, found in one sequential read from the start
// that ends at the last wanted line, and reads no more than `limit` bytes.
// A line the file does not reach within them keeps {-1, -1}.
std::vector<LineSpan> findLineSpans(const ReadFunction& read, const std::vector<int32_t>& lines,
                                    int64_t limit);

// Finds the lines of the rows whose text was cut, reading each file once and
// no further than the largest file the scanner reads: a file replaced since
// the search by a larger one is not read to its end. Each file's text is
// read (a UTF-16 file decoded) once for all its rows.
// Rows whose text is whole, or whose line cannot be found, keep {-1, -1}.
std::vector<LineSpan> findWholeLines(const std::vector<const ResultEntry*>& rows);

// The row's whole line when its span can be read and it still holds the
// stored text (begins with it, or with an excerpt's bytes further in); else the stored text (the
// file changed, or the line is longer than 16 MiB).
std::string wholeLineText(const ResultEntry& row, LineSpan span);

}  // namespace tarvo
