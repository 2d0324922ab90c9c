// What the copy commands put on the clipboard, worked out without a window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "results/result_store.h"

namespace tarvo {

// One result as compilers name a place in a file, so that editors and
// terminals which know the form jump to it: "PATH(LINE): TEXT", TEXT being
// `line` without its line end. A file-name entry has no line: its path alone.
std::string resultCopyText(const ResultEntry& entry, std::string_view line);

// The rows in the order given, each with its whole line read again from its
// file where the stored text was cut (the stored text when the file no
// longer holds it), joined with CR LF, the clipboard's line end, with none
// after the last.
std::string copyTextOfResults(const std::vector<const ResultEntry*>& rows);

}  // namespace tarvo
