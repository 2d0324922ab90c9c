#include <gtest/gtest.h>
#include <algorithm>
#include <set>

#include "engine/line_excerpt.h"
#include "engine/search_request.h"
#include "shell/dialog_texts.h"
#include "shell/drop_down_rows.h"
#include "shell/editor_command.h"
#include "shell/folder_suggestions.h"
#include "shell/launching.h"
#include "shell/main_layout.h"
#include "shell/open_decision.h"
#include "shell/path_entries.h"
#include "shell/result_copy.h"
#include "shell/window_placement.h"
#include "support/repeated.h"
#include "support/temp_tree.h"

namespace tarvo {
// 100 and 150 %: sizes scaled as MulDiv rounds; boxes reach the label + 410 or half the width.
TEST(MainLayout, RectanglesUserSizesAndWhatAPressDrags) {
    const LayoutMetrics at96{96, 37, 15, 12, 7, 30}, at144{144, 55, 23, 18, 10, 44};
    const std::vector<LayoutRect> rects96 = {
        {5, 7, 42, 22},    {47, 7, 447, 22},   {5, 27, 42, 42},     {47, 27, 447, 42},
        {5, 47, 795, 62},  {5, 67, 45, 85},    {45, 67, 445, 85},   {445, 67, 795, 85},
        {5, 85, 795, 324}, {5, 336, 42, 351},  {47, 336, 795, 351}, {5, 356, 795, 595},
        {42, 67, 48, 85},  {442, 67, 448, 85}, {0, 324, 800, 336}};
    const std::vector<LayoutRect> rects144 = {
        {8, 11, 63, 34},     {71, 11, 670, 34},    {8, 42, 63, 65},      {71, 42, 670, 65},
        {8, 73, 1192, 96},   {8, 104, 68, 132},    {68, 104, 668, 132},  {668, 104, 1192, 132},
        {8, 132, 1192, 487}, {8, 505, 63, 528},    {71, 505, 1192, 528}, {8, 536, 1192, 892},
        {63, 104, 73, 132},  {663, 104, 673, 132}, {0, 487, 1200, 505}};
    const std::tuple<LayoutMetrics, const std::vector<LayoutRect>&, ListColumns> scales[] = {
        {at96, rects96, {5, 45, 390, 445}}, {at144, rects144, {8, 68, 584, 668}}};
    for (const auto& [metrics, expected, columns] : scales) {  // 800 x 600 at 96 DPI
        SCOPED_TRACE(metrics.dpi);
        const MainLayout l =
            computeMainLayout(metrics.dpi * 25 / 3, metrics.dpi * 25 / 4, metrics, {});
        const LayoutRect rects[] = {l.findLabel,   l.findBox,    l.pathLabel,  l.pathBox,
                                    l.statusLine,  l.rankHeader, l.fileHeader, l.lineHeader,
                                    l.resultsPane, l.fileLabel,  l.fileBox,    l.previewPane,
                                    l.rankBorder,  l.fileBorder, l.splitter};
        EXPECT_EQ(std::vector<LayoutRect>(std::begin(rects), std::end(rects)), expected);
        EXPECT_EQ(l.columns, columns);
    }
    const std::pair<int32_t, int32_t> widths[] = {{600, 440}, {1200, 600}, {430, 425}};
    for (const auto& [width, right] : widths)
        EXPECT_EQ(computeMainLayout(width, 500, {96, 30, 15, 12, 7, 30}, {}).findBox.right, right)
            << width;
    const std::array<LayoutRect, 5> bands = {{{0, 42, 1000000, 85},
                                              {0, 324, 1000000, 356},
                                              {0, 595, 1000000, 1000000},
                                              {0, 0, 5, 1000000},
                                              {795, 0, 1000000, 1000000}}};
    EXPECT_EQ(resizedBands(computeMainLayout(800, 600, at96, {}), 800, 600), bands);
    // The user's columns and list share, fitted: File gives way first; a row and 3 lines show.
    const std::tuple<LayoutMetrics, int32_t, UserLayout, int32_t, int32_t, int32_t> cases[] = {
        {at96, 800, {}, 40, 400, 239},
        {at96, 300, {}, 40, 219, 239},
        {at96, 100, {}, 40, 31, 239},
        {at96, 800, {{1, 5000}, 500}, 40, 719, 239},
        {{144, 55, 23, 18, 10, 46}, 1200, {}, 62, 600, 355},
        {at144, 1200, {{50, 300}, 250}, 75, 450, 178},
        {at144, 1200, {{40, 400}, 0}, 60, 600, 23},
        {at144, 1200, {{40, 400}, 1000}, 60, 600, 657},
        {at144, 1200, {{40, 400}, 333}, 60, 600, 237}};
    for (const auto& [metrics, width, user, rank, file, list] : cases) {
        SCOPED_TRACE(::testing::Message() << metrics.dpi << " " << width << " " << rank);
        const MainLayout l = computeMainLayout(width, metrics.dpi * 25 / 4, metrics, user);
        EXPECT_EQ(std::make_tuple(l.rankWidth, l.fileWidth, l.resultsPane.height()),
                  std::make_tuple(rank, file, list));
    }
    // Dragged to any height the limits allow, the splitter's share gives that height back.
    for (const int32_t panes : {100, 711, 1000}) {
        for (int32_t height = 15; height <= panes - 36; ++height)
            ASSERT_EQ(listHeightFor(shareForListHeight(height, panes), panes, 15, 36), height)
                << panes;
    }
    EXPECT_EQ(shareForListHeight(-5, 400), 0);
    EXPECT_EQ(shareForListHeight(900, 400), 1000);
    EXPECT_EQ(listHeightFor(std::nullopt, 40, 15, 36), 20) << "no room for both: even";
    // Both labels with a little of their boxes, three columns, a row and three preview lines.
    const ClientSize small = minimumClientSize(at96), large = minimumClientSize(at144);
    EXPECT_EQ(std::make_tuple(small.width, small.height, large.width, large.height),
              std::make_tuple(112, 173, 168, 266));
    const MainLayout tiny = computeMainLayout(20, 50, at96, {});
    EXPECT_TRUE(tiny.resultsPane.height() < 0 && tiny.previewPane.height() < 0);
    EXPECT_EQ(tiny.textBoxRight, 15);
    EXPECT_EQ(std::make_pair(tiny.rankHeader.right, tiny.fileHeader.right), std::make_pair(15, 15));
    EXPECT_EQ(std::make_pair(computeMainLayout(800, 601, at96, {}).resultsPane.height(),
                             computeMainLayout(800, 601, at96, {}).previewPane.height()),
              std::make_pair(239, 240));
    // A press within 3 pixels of a column's border drags it; above the File row, the splitter.
    const MainLayout l = computeMainLayout(800, 600, at96, {});
    const std::tuple<int32_t, int32_t, LayoutGrip> presses[] = {
        {42, 70, LayoutGrip::RankBorder}, {47, 84, LayoutGrip::RankBorder},
        {48, 70, LayoutGrip::None},       {445, 67, LayoutGrip::FileBorder},
        {445, 85, LayoutGrip::None},      {795, 70, LayoutGrip::None},
        {0, 324, LayoutGrip::Splitter},   {799, 335, LayoutGrip::Splitter},
        {400, 336, LayoutGrip::None},     {400, 323, LayoutGrip::None}};
    for (const auto& [x, y, grip] : presses)
        EXPECT_EQ(gripAt(l, x, y), grip) << x << "," << y;
    // Rank keeps its label, File three characters, and both leave Line three.
    const std::tuple<LayoutGrip, int32_t, int32_t> drags[] = {
        {LayoutGrip::RankBorder, 10, 40},   {LayoutGrip::RankBorder, 100, 100},
        {LayoutGrip::RankBorder, 500, 359}, {LayoutGrip::FileBorder, 10, 31},
        {LayoutGrip::FileBorder, 500, 500}, {LayoutGrip::FileBorder, 800, 719}};
    for (const auto& [border, wanted, width] : drags)
        EXPECT_EQ(draggedColumnWidth(l, border, wanted), width) << wanted;
}

// Notepad gets one quoted argument; the guide lies in docs beside the program, else in TEMP.
TEST(Launching, NotepadAndTheGuide) {
    EXPECT_EQ(notepadCommandLine("C:\\my src\\main file.c"),
              "notepad.exe \"C:\\my src\\main file.c\"");
    const std::pair<const char*, const char*> guides[] = {
        {"C:\\Program Files\\Tarvo\\TarvoSearch.exe", "C:\\Program Files\\Tarvo\\docs\\index.html"},
        {"Z:/build/TarvoSearch.exe", "Z:/build/docs\\index.html"},
        {"TarvoSearch.exe", "docs\\index.html"}};
    for (const auto& [exe, guide] : guides)
        EXPECT_EQ(documentationPath(exe), guide) << exe;
    const std::tuple<bool, const char*, const char*, bool> cases[] = {
        {true, "C:\\Temp\\", "C:\\Tarvo\\docs\\index.html", false},
        {false, "C:\\Temp\\", "C:\\Temp\\TarvoSearch-guide.html", true},
        {false, "C:\\Temp", "C:\\Temp\\TarvoSearch-guide.html", true},
        {false, "", "C:\\Tarvo\\docs\\index.html", false}};
    for (const auto& [besideExists, tempFolder, path, builtIn] : cases) {
        const UserGuide guide = userGuide("C:\\Tarvo\\TarvoSearch.exe", besideExists, tempFolder);
        EXPECT_EQ(std::make_pair(guide.path, guide.builtIn),
                  std::make_pair(std::string(path), builtIn))
            << tempFolder;
    }
}

// Line breaks, the version, the paragraph naming Help and the guide, a final line break.
TEST(DialogTexts, AboutAndMessageBoxTexts) {
    for (const bool builtIn : {false, true}) {
        const std::string text = aboutText({"Z:\\docs\\guide.html", builtIn});
        EXPECT_EQ(text.rfind("\r\n\r\n\r\nTarvo Search, version 1.0\r\n", 0), 0u) << text;
        EXPECT_NE(text.find("Help / Go to Online Documentation..."), std::string::npos);
        EXPECT_EQ(text.find("built into the program") != std::string::npos, builtIn);
        EXPECT_TRUE(text.ends_with("\r\nZ:\\docs\\guide.html\r\n")) << text;
    }
    // Over 80 characters without blanks: the first k/2, "..." and the last k (k = 51 or 50).
    const std::string deep = "C:\\" + testing::repeated(40, "folder\\") + "file.c";
    const std::string cut = deep.substr(0, 25) + "..." + deep.substr(deep.size() - 51);
    const std::string wide = testing::repeated(79, "\xC3\xA9") + "\xE2\x82\xAC";
    const std::pair<std::string, std::string> cases[] = {
        {"Error: the path is longer than 260 characters: " + deep,
         "Error: the path is longer than 260 characters: " + cut},
        {"Can't start the editor " + deep + "\r\n\r\nNot found.\r\n",
         "Can't start the editor " + cut + "\r\n\r\nNot found.\r\n"},
        {std::string(80, 'x') + " \t" + wide, std::string(80, 'x') + " \t" + wide},
        {"  " + std::string(81, 'x') + "  ",
         "  " + std::string(25, 'x') + "..." + std::string(50, 'x') + "  "}};
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(messageBoxText(message), shown) << message;
}

// A saved rectangle keeps corner and size; either side unset leaves it to the system.
TEST(WindowPlacement, RectangleBecomesCornerAndSize) {
    const int32_t unset = kDefaultPlacement;
    const int32_t cases[][8] = {{unset, 0, unset, 0, unset, 0, unset, 0},
                                {100, 80, unset, 680, unset, 0, unset, 0},
                                {100, 80, 900, 680, 100, 80, 800, 600}};
    for (const auto& c : cases) {
        const CreatePlacement p = creationPlacement({c[0], c[1], c[2], c[3]});
        EXPECT_EQ(std::make_tuple(p.x, p.y, p.width, p.height),
                  std::make_tuple(c[4], c[5], c[6], c[7]))
            << c[0] << " " << c[2];
    }
}

// Placeholders replaced once, in the arguments; the path quoted, or last when not named.
TEST(EditorCommand, PlaceholdersAndQuoting) {
    const std::string_view path = "C:\\my src\\a.c";
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"code -g \"%path%:%line%\"", "code", "-g \"C:\\my src\\a.c:12\""},
        {"\"C:\\Program Files\\Notepad++\\notepad++.exe\" -n%line% \"%path%\"",
         "C:\\Program Files\\Notepad++\\notepad++.exe", "-n12 \"C:\\my src\\a.c\""},
        {"  vim\t+%line% %path% %line%", "vim", "+12 \"C:\\my src\\a.c\" 12"},
        {"ed --file=%path%", "ed", "--file=\"C:\\my src\\a.c\""},
        {"notepad++.exe", "notepad++.exe", "\"C:\\my src\\a.c\""},
        {"%path% -x", "%path%", "-x \"C:\\my src\\a.c\""},
        {"\"C:\\ed.exe", "C:\\ed.exe", "\"C:\\my src\\a.c\""},
        {"", "", "\"C:\\my src\\a.c\""}};
    for (const auto& [command, program, arguments] : cases) {
        const EditorLaunch launch = editorLaunch(command, path, 12);
        EXPECT_EQ(std::make_pair(launch.program, launch.arguments),
                  std::make_pair(std::string(program), std::string(arguments)))
            << command;
    }
    const std::pair<const char*, const char*> odd[] = {
        {"ed \"%path%\" %path%", "\"C:\\%line%\\\\\" \"C:\\%line%\\\\\""},
        {"ed \"%path%x\"", "\"C:\\%line%\\x\""}};
    for (const auto& [command, arguments] : odd)
        EXPECT_EQ(editorLaunch(command, "C:\\%line%\\", 3).arguments, arguments) << command;
}

// PATH(LINE): the whole line, read again where the stored text was cut, UTF-16 as UTF-8.
TEST(ResultCopy, ResultsAsCompilersNameAPlace) {
    testing::TempTree tree;
    const std::string whole = "int f(" + std::string(300, 'x') + ");";
    const std::string file = tree.write("long.c", "first\n" + whole + "\r\nlast");
    const std::string wideFile = tree.write(  // x, a line feed, the euro sign, the line
        "wide.c", "\xFF\xFE" + testing::utf16("x\n") + "\xAC\x20" + testing::utf16(whole + "\n"));
    const std::string marked = tree.write("mark.c", "\xEF\xBB\xBF" + whole);
    const std::string excerpt = std::string(kExcerptMark) + whole.substr(100, 100);
    const ResultEntry rows[] = {{0, 9, "C:\\my src\\a.c", 12, "\tint x;\r\n"},
                                {1, -1, "C:\\my src\\name.c", 0, ""},
                                {2, 9, file, 2, whole.substr(0, 150)},
                                {3, 9, file, 3, "last"},
                                {4, 9, tree.path("gone.c"), 2, whole.substr(0, 150)},
                                {5, 9, wideFile, 2, excerpt},
                                {6, 9, marked, 1, whole.substr(0, 150)}};
    const std::string copied[] = {"C:\\my src\\a.c(12): \tint x;",
                                  "C:\\my src\\name.c",
                                  file + "(2): " + whole,
                                  file + "(3): last",
                                  tree.path("gone.c") + "(2): " + whole.substr(0, 150),
                                  wideFile + "(2): \xE2\x82\xAC" + whole,
                                  marked + "(1): " + whole};
    std::vector<const ResultEntry*> all;
    std::string joined;
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(copyTextOfResults({&rows[i]}), copied[i]) << i;
        all.push_back(&rows[i]);
        joined += (i ? "\r\n" : "") + copied[i];
    }
    EXPECT_EQ(copyTextOfResults(all), joined);
}

// Open shows a file and never runs it: the open verb if safe, else edit verb, editor, Notepad.
TEST(OpenDecision, FileTypeFactsToActionAndVerbCommandLines) {
    using enum OpenAction;
    const char* notepad = "%SystemRoot%\\System32\\notepad.exe \"%1\"";
    const char* wscript = "\"C:\\windows\\system32\\wscript.exe\" \"%1\" %*";
    const std::tuple<FileTypeFacts, bool, OpenAction> cases[] = {
        {{".c", false, "\"C:\\VS Code\\Code.exe\" \"%1\"", ""}, true, DefaultVerb},
        {{".txt", false, "%SystemRoot%\\system32\\NOTEPAD.EXE %1", ""}, false, DefaultVerb},
        {{".md", false, "", ""}, false, DefaultVerb},
        {{".bat", false, "\"%1\" %*", notepad}, true, EditVerb},
        {{".CMD", false, "", ""}, false, Notepad},
        {{".cmd", false, "", ""}, true, Editor},
        {{".vbs", false, wscript, notepad}, false, EditVerb},
        {{".jar", false, "\"C:\\Java\\javaw.exe\" -jar \"%1\" %*", ""}, false, Notepad},
        {{".sc2", false, "\"%1\" /S", ""}, false, Notepad},
        {{".xyz", true, "\"C:\\Viewer\\view.exe\" \"%1\"", notepad}, false, EditVerb},
        {{".ps1", false, notepad, "\"C:\\PS\\powershell_ise.exe\" \"%1\""}, false, EditVerb},
        {{".wsf", false, wscript, "%l %*"}, false, Notepad},
        {{".bat", false, "\"%1\" %*", "%0 /edit"}, false, Notepad}};
    for (const auto& [facts, editorSet, action] : cases)
        EXPECT_EQ(chooseOpenAction(facts, editorSet), action)
            << facts.extension << " " << facts.openCommand;
    const std::pair<const char*, const char*> names[] = {
        {"C:\\a\\b.C", ".C"}, {"C:\\v.2\\Makefile", ""}, {"/x/.bashrc", ".bashrc"}, {"", ""}};
    for (const auto& [path, extension] : names)
        EXPECT_EQ(fileExtension(path), extension) << path;
    // The file put where the shell puts it (last when unnamed), further arguments left out.
    const std::pair<const char*, const char*> commands[] = {
        {"%SystemRoot%\\system32\\NOTEPAD.EXE %1",
         "%SystemRoot%\\system32\\NOTEPAD.EXE \"C:\\my src\\a.bat\""},
        {"\"C:\\Ed\\ed.exe\" \"%1\" %*", "\"C:\\Ed\\ed.exe\" \"C:\\my src\\a.bat\" "},
        {"C:\\Program Files\\Ed\\ed.exe /e %L",
         "C:\\Program Files\\Ed\\ed.exe /e \"C:\\my src\\a.bat\""},
        {"notepad.exe", "notepad.exe \"C:\\my src\\a.bat\""},
        {"ed %*", "ed \"C:\\my src\\a.bat\""},
        {"  \"C:\\ed.exe\"\t-x", "  \"C:\\ed.exe\"\t-x \"C:\\my src\\a.bat\""},
        {"ed /p:%l /n%2%~ 100%% %v", "ed /p:\"C:\\my src\\a.bat\" /n 100% \"C:\\my src\\a.bat\""},
        {"ed --file=\"%V\" %0", "ed --file=\"C:\\my src\\a.bat\" \"C:\\my src\\a.bat\""}};
    for (const auto& [command, line] : commands)
        EXPECT_EQ(verbCommandLine(command, "C:\\my src\\a.bat"), line) << command;
    EXPECT_EQ(verbCommandLine("ed %1", "C:\\100%1\\a.bat"), "ed \"C:\\100%1\\a.bat\"");
}

// 10 rows, 4 shown: each step from the state before it, the selection and the top row after it.
TEST(DropDownRows, SelectionInViewAndTheRowAtAPoint) {
    enum Step { Move, Page, Wheel, Remove, Room };
    const std::tuple<Step, int32_t, int32_t, int32_t> steps[] = {
        {Move, 1, 0, 0},   {Move, -1, 0, 0},  {Page, 0, 4, 1},   {Page, 0, 8, 5},
        {Page, 0, 9, 6},   {Wheel, -3, 9, 3}, {Wheel, -9, 9, 0}, {Move, 1, 9, 6},
        {Remove, 0, 8, 5}, {Room, 2, 8, 7},   {Room, 0, 8, 8}};
    DropDownRows rows{10, 4, 0, -1};
    for (size_t i = 0; i < std::size(steps); ++i) {
        const auto& [step, n, selected, first] = steps[i];
        rows = step == Move    ? movedSelection(rows, n)
               : step == Page  ? movedSelection(rows, rows.shown)
               : step == Wheel ? scrolled(rows, n)
               : step == Room  ? shownIn(rows, n)
                               : withoutSelected(rows);
        EXPECT_EQ(std::make_pair(rows.selected, rows.first), std::make_pair(selected, first))
            << "step " << i;
    }
    EXPECT_EQ(movedSelection(DropDownRows{10, 4, 0, -1}, -1).selected, 9) << "up from none";
    EXPECT_EQ(withoutSelected(DropDownRows{1, 4, 0, 0}).selected, -1) << "the only row removed";
    // Rows of 15 pixels, 4 shown from row 3 of 10: none above the list or past the rows shown.
    const DropDownRows from3{10, 4, 3, -1};
    const std::pair<int32_t, int32_t> points[] = {{-1, -1}, {0, 3},  {14, 3},
                                                  {15, 4},  {59, 6}, {60, -1}};
    for (const auto& [y, row] : points)
        EXPECT_EQ(rowAt(from3, y, 15), row) << y;
    EXPECT_EQ(rowAt(DropDownRows{2, 4, 0, -1}, 30, 15), -1) << "past the last row";
}

// The names in the last entry's folder that begin with what follows its separator.
TEST(FolderSuggestions, TheFoldersOfTheEntryTyped) {
    testing::TempTree tree;
    for (const char* file : {"Subway/a.txt", "submarine.txt", "sub/b.txt", "other/c.txt"})
        tree.write(file, "");
    const std::string folder = tree.path("");
    const std::string before = "C:\\src; ";
    using Entries = std::multiset<std::string>;  // in any order
    const std::tuple<std::string, std::string, Entries> cases[] = {
        {before + folder + "su",
         before,
         {folder + "sub", folder + "submarine.txt", folder + "Subway"}},
        {before + folder + "SUB", before, {folder + "submarine.txt", folder + "Subway"}},
        {before + folder + "x", before, {}},
        {folder,
         "",
         {folder + "other", folder + "sub", folder + "submarine.txt", folder + "Subway"}},
        {before + "sub", "", {}},
        {before + tree.path("absent/"), before, {}}};
    FolderSuggester suggester;
    for (const auto& [text, kept, entries] : cases) {
        SCOPED_TRACE(text);
        const FolderSuggestions offered = suggester.suggest(text);
        EXPECT_EQ(
            std::make_pair(Entries(offered.entries.begin(), offered.entries.end()), offered.kept),
            std::make_pair(entries, kept));
    }
    suggester.suggest(folder + "s");
    tree.write("subtle.txt", "");
    EXPECT_EQ(suggester.suggest(folder + "subt").entries.size(), 0u);
    suggester.forget();
    EXPECT_EQ(suggester.suggest(folder + "subt").entries,
              std::vector<std::string>{folder + "subtle.txt"});
}

// The picker starts at the last entry that is not blank; the entry typed starts after the last ";".
TEST(PathEntries, TheLastEntryTheEntryTypedAndAFolderChosen) {
    const std::tuple<const char*, const char*, size_t> texts[] = {
        {"", "", 0},
        {"C:\\src", "C:\\src", 0},
        {"C:\\src; D:\\my dir ", "D:\\my dir", 8},
        {"C:\\src;D:\\x;;  ; ", "D:\\x", 17},
        {";", "", 1},
        {"  ", "", 2}};
    for (const auto& [text, last, typed] : texts) {
        EXPECT_EQ(lastPathEntry(text), last) << text;
        EXPECT_EQ(typedEntryStart(std::string_view(text)), typed) << text;
    }
    EXPECT_EQ(typedEntryStart(std::u16string_view(u"a; b")), 3u);
    // The folder replaces the text, or follows it after one ";"; one that would not fit is refused.
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"C:\\src", false, "D:\\new"},
        {"C:\\src", true, "C:\\src;D:\\new"},
        {"C:\\src; ", true, "C:\\src;D:\\new"},
        {"C:\\src;", true, "C:\\src;D:\\new"},
        {"  ", true, "D:\\new"}};
    for (const auto& [text, append, result] : cases)
        EXPECT_EQ(pathWithFolder(text, "D:\\new", append), result) << text << " " << append;
    const std::string full(kMaxTextLength - 7, 'p');
    EXPECT_EQ(pathWithFolder(full, "D:\\new", true), full + ";D:\\new");
    EXPECT_EQ(pathWithFolder(full + "p", "D:\\new", true), std::nullopt);
    EXPECT_EQ(pathWithFolder(full + "p", "D:\\new", false), "D:\\new");
}

}  // namespace tarvo
