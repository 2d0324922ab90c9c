#include "preview/preview_pane_rules.h"

#include <algorithm>
#include <cstdio>

#include "engine/term_table.h"
#include "preview/preview_document.h"
#include "view/marked_text.h"
#include "view/text_class.h"

namespace tarvo {

ShowFileStep planShowFile(PreviewPosition& position, bool sameFile, int32_t lineNumber) {
    if (lineNumber == 0) lineNumber = 1;
    if (sameFile && lineNumber == position.targetLine) return ShowFileStep::Nothing;
    position.targetLine = lineNumber;
    position.topLine = centredTopLine(lineNumber, position.visibleLines);
    return sameFile ? ShowFileStep::Repaint : ShowFileStep::LoadAndRepaint;
}

int32_t topLineAfterResize(const PreviewPosition& position, int32_t wholeLines, int32_t firstLine) {
    const int32_t top = paintTopLine(position.topLine, firstLine);
    const int32_t line = position.targetLine;
    const bool wasShown = line >= top && line < top + position.wholeLines;
    if (!wasShown || line < top + wholeLines) return position.topLine;
    return centredTopLine(line, wholeLines);
}

std::optional<ColumnSpan> firstTermColumns(const PreviewDocument& document, int32_t line,
                                           const TermTable& terms) {
    if (line < document.firstLine() || line > document.lastLine()) return std::nullopt;
    std::string text;
    std::vector<uint8_t> attrs;
    const int32_t lineStart = buildPreviewRow(document, line, terms, text, attrs);
    std::string run;
    uint8_t attribute = 0;
    int column = 0;
    for (int at = lineStart, before = 0, after;
         (after = nextRun(text.c_str(), attrs.data(), at, column, run, attribute,
                          document.tabWidth())) != at;
         at = after, before = column) {
        if (attribute & kMarkBit) return ColumnSpan{before, column};
    }
    return std::nullopt;
}

std::optional<KeyScroll> previewKeyScroll(int32_t virtualKey, bool control) {
    constexpr int32_t kPageUp = 0x21, kPageDown = 0x22, kEnd = 0x23, kHome = 0x24, kUp = 0x26,
                      kDown = 0x28;
    switch (virtualKey) {
        case kUp:
            return KeyScroll{false, ScrollRequest::LineUp};
        case kDown:
            return KeyScroll{false, ScrollRequest::LineDown};
        case kPageUp:
            return KeyScroll{false, ScrollRequest::PageUp};
        case kPageDown:
            return KeyScroll{false, ScrollRequest::PageDown};
        case kHome:
            return KeyScroll{!control, ScrollRequest::Top};
        case kEnd:
            return KeyScroll{!control, ScrollRequest::Bottom};
        default:
            return std::nullopt;
    }
}

int32_t columnsShown(int32_t width, int32_t characterWidth) {
    if (characterWidth <= 0) return 0;
    return std::max(width / characterWidth - kGutterBytes, 0);
}

int32_t leftColumnFor(const std::optional<ColumnSpan>& term, int32_t visibleColumns,
                      const PreviewColumns& columns) {
    if (!term || term->end <= visibleColumns) return 0;
    const ScrollBarState bar = previewColumnBar(columns, visibleColumns, 0);
    return clampScrollPosition(bar, term->start - kPreviewLeadColumns);
}

ScrollBarState previewColumnBar(const PreviewColumns& columns, int32_t visibleColumns,
                                int32_t leftColumn) {
    ScrollBarState bar;
    bar.min = 0;
    bar.max = std::min(columns.widestLine, kMaxPreviewLineBytes * columns.tabWidth) - 1;
    bar.page = visibleColumns;
    bar.pos = leftColumn;
    return bar;
}

std::string openFailureNote(std::string_view path, std::string_view systemMessage) {
    std::string note = "cannot open ";
    note += path;
    std::string message;
    for (char c : systemMessage)
        message += (c == '\r' || c == '\n') ? ' ' : c;
    message.erase(message.find_last_not_of(' ') + 1);  // npos + 1 is 0: all blanks go
    if (!message.empty()) note += ": " + message;
    return note;
}

std::string missingLineNote(std::string_view path, int32_t line) {
    std::string note = "line " + std::to_string(line) + " is past the end of ";
    note += path;
    return note;
}

PreviewPaintPlan planPreviewPaint(int32_t topLine, int32_t visibleLines, int32_t lastLine,
                                  int32_t lineHeight) {
    PreviewPaintPlan plan;
    plan.firstLine = topLine;
    plan.endLine = std::max(topLine, std::min(topLine + visibleLines, lastLine + 1));
    plan.blankTop = (plan.endLine - plan.firstLine) * lineHeight;
    return plan;
}

ScrollBarState previewScrollBar(int32_t firstLine, int32_t lastLine, int32_t visibleLines,
                                int32_t topLine) {
    const bool loaded = lastLine >= firstLine;
    ScrollBarState bar;
    bar.min = loaded ? firstLine : 1;
    bar.max = loaded ? lastLine + 1 : -1;
    bar.page = visibleLines;
    bar.pos = topLine;
    return bar;
}

int32_t buildPreviewRow(const PreviewDocument& document, int32_t line, const TermTable& terms,
                        std::string& text, std::vector<uint8_t>& attrs) {
    char prefix[16];
    int prefixLength = std::snprintf(prefix, sizeof prefix, "%6d  ", line);
    text.assign(prefix, prefixLength);

    LineRange range = document.lineRange(line);
    const char* bytes = document.text() + range.start;
    int take = std::min(range.end - range.start, kMaxPreviewLineBytes);
    // A character the cap cuts is left out whole (at most three bytes of a
    // UTF-8 sequence follow its first).
    for (int i = 0; i < 3 && take < range.end - range.start && (bytes[take] & 0xC0) == 0x80; ++i)
        --take;
    const char* zero = std::find(bytes, bytes + take, '\0');
    text.append(bytes, zero);

    attrs.assign(text.size(), 0);
    terms.markTermMatches(text.c_str(), attrs.data());
    if (document.coloured()) document.colourLine(line, text.c_str(), attrs.data());
    std::fill_n(attrs.begin(), std::min<size_t>(kGutterBytes, attrs.size()), kGutterText);
    return prefixLength;
}

}  // namespace tarvo
