// The read window alone, at small and odd sizes: a pass over its stretches sees every byte of the
// file once and in order, its lines and their texts, in the window or read again.
#include "engine/read_window.h"
#include <gtest/gtest.h>
#include "support/temp_tree.h"

namespace tarvo {
namespace {

TEST(ReadWindow, StretchesCoverTheFileOnceAndLinesReadBack) {
    struct Row {
        int32_t size, moveAt, move;
        std::string text;
    };
    const std::string lines =
        "ab\ncdefgh\n\nijklmnopqrstu\nv\n";  // lines of 3, 7, 1, 14 and 2 bytes
    const Row rows[] = {
        {10, 7, 5, ""},      {10, 7, 5, "x"},          {10, 7, 5, "\n"},
        {10, 7, 5, lines},   {10, 7, 9, lines + "w"},  {11, 3, 4, lines + lines},
        {7, 4, 6, lines},    {64, 40, 30, lines},      {27, 24, 26, lines},
        {28, 24, 13, lines}, {13, 5, 7, "\n\n\n\n\n"}, {100, 75, 50, lines},
    };
    testing::TempTree tree;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.size) + " " + std::to_string(row.moveAt) + " " +
                     std::to_string(row.move) + " over " + std::to_string(row.text.size()));
        const std::string path = tree.write("f", row.text);
        ScanFileReader file;
        ASSERT_TRUE(file.open(path.c_str()));
        ReadWindow window(row.size, row.moveAt, row.move, 0);
        std::string seen, texts;
        int64_t lineFeeds = 0, lineStart = 0, lines = 1;
        for (int pass = 0; pass < 2; ++pass) {  // the second from the start again
            window.rewind(file);
            if (pass == 0) window.readStart(file);
            seen.clear();
            texts.clear();
            lineFeeds = lineStart = 0;
            lines = 1;
            for (int32_t p = 0;;) {
                const int32_t stop = window.stretchEnd(p);
                ASSERT_EQ(window.shift() + p, static_cast<int64_t>(seen.size()));
                ASSERT_LE(stop - p, window.stretch());
                for (; p < stop; ++p) {
                    const char c = window.bytes()[p];
                    seen += c;
                    if (c != '\n') continue;
                    ++lineFeeds;
                    // The line's text while the window still holds its end.
                    int32_t length = 0;
                    texts += window.lineText(file, lineStart, window.shift() + p + 1, &length);
                    EXPECT_EQ(length, window.shift() + p + 1 - lineStart);
                    if (!window.lineBeginsAfter(p)) continue;
                    lineStart = window.shift() + p + 1;
                    ++lines;
                }
                if (window.endsAt(stop)) break;
                p = window.next(file, stop);
            }
        }
        EXPECT_EQ(seen, row.text);
        EXPECT_EQ(texts, row.text.substr(0, row.text.rfind('\n') + 1));
        EXPECT_EQ(window.fileEnd(), static_cast<int64_t>(row.text.size()));
        const int64_t expectedLines =
            row.text.empty() ? 1 : std::count(row.text.begin(), row.text.end() - 1, '\n') + 1;
        EXPECT_EQ(window.linesOf(lineFeeds), expectedLines);
        EXPECT_EQ(lines, expectedLines);
        // A whole line at the end, from the window or read again; the file's start read again.
        std::string storage;
        const size_t last = row.text.find_last_of('\n', row.text.size() - 2) + 1;
        if (row.text.size() > 1 && last < row.text.size()) {
            EXPECT_EQ(window.longLine(file, last, row.text.size(), storage), row.text.substr(last));
        }
        const size_t first = row.text.find('\n') + 1;
        if (first > 0) {
            EXPECT_EQ(window.longLine(file, 0, first, storage), row.text.substr(0, first));
        }
    }
}

}  // namespace
}  // namespace tarvo
