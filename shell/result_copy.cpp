#include "shell/result_copy.h"

#include "app/whole_lines.h"

namespace tarvo {

std::string resultCopyText(const ResultEntry& entry, std::string_view line) {
    if (entry.lineNumber == 0) return entry.path;
    if (line.ends_with('\n')) line.remove_suffix(1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    std::string text = entry.path;
    text += '(';
    text += std::to_string(entry.lineNumber);
    text += "): ";
    text += line;
    return text;
}

std::string copyTextOfResults(const std::vector<const ResultEntry*>& rows) {
    const std::vector<LineSpan> spans = findWholeLines(rows);
    std::string text;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += resultCopyText(*rows[i], wholeLineText(*rows[i], spans[i]));
    }
    return text;
}

}  // namespace tarvo
