// What showing a result costs in the preview: loading a 9 MB C file (one
// read, one indexing pass) and preparing one screen of rows around its
// middle (row text, term marks, colouring, run cutting) -- everything a
// repaint does except the GDI calls themselves.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/term_table.h"
#include "preview/preview_document.h"
#include "preview/preview_pane_rules.h"
#include "support/temp_tree.h"
#include "view/marked_text.h"

namespace tarvo {
namespace {

constexpr size_t kFileBytes = 9 * 1000 * 1000;
constexpr int32_t kScreenRows = 60;

// A C file of realistic lines: indentation by tabs, keywords, strings with
// comment openers inside, block and line comments.
const std::string& generatedFile() {
    static const std::string path = [] {
        static testing::TempTree tree;
        const char* block[] = {
            "/* Copyright block comment that spans\n",
            " * several lines of text */\n",
            "#include <stdio.h>\n",
            "static int countLines(const char* text, unsigned long length)\n",
            "{\n",
            "\tint lines = 0;  // lines seen so far\n",
            "\tfor (unsigned long i = 0; i < length; ++i) {\n",
            "\t\tif (text[i] == '\\n') lines++;\n",
            "\t}\n",
            "\tprintf(\"/* not a comment */ %d\\n\", lines);\n",
            "\treturn lines;\n",
            "}\n",
            "\n",
        };
        std::string content;
        content.reserve(kFileBytes + 200);
        while (content.size() < kFileBytes) {
            for (const char* line : block)
                content += line;
        }
        content.resize(kFileBytes);
        return tree.write("generated.c", content);
    }();
    return path;
}

void BM_LoadDocument(benchmark::State& state) {
    const std::string& path = generatedFile();
    PreviewDocument doc;
    for (auto _ : state) {
        doc.loadDocument(path, ".c;.cpp;.cxx;.h");
        benchmark::DoNotOptimize(doc.lineCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFileBytes);
    state.counters["lines"] = doc.lineCount();
}
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond);

void BM_PrepareScreenOfRows(benchmark::State& state) {
    PreviewDocument doc;
    doc.loadDocument(generatedFile(), ".c;.cpp;.cxx;.h");
    TermTable terms;
    terms.parseTerms("lines text");
    const int32_t top = paintTopLine(centredTopLine(doc.lineCount() / 2, kScreenRows));
    std::string text;
    std::vector<uint8_t> attrs;
    std::string run;
    uint8_t attribute = 0;
    for (auto _ : state) {
        int runs = 0;
        for (int32_t line = top; line < top + kScreenRows; ++line) {
            buildPreviewRow(doc, line, terms, text, attrs);
            int column = 0;
            for (int at = 0, after; (after = nextRun(text.c_str(), attrs.data(), at, column, run,
                                                     attribute, kDefaultTabWidth)) != at;
                 at = after) {
                ++runs;
            }
        }
        benchmark::DoNotOptimize(runs);
    }
    state.counters["rows"] = kScreenRows;
}
BENCHMARK(BM_PrepareScreenOfRows)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvo
