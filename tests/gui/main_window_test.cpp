// The main window driven with messages: Enter, F5 and F6 around a search,
// Tab and Shift+Tab, a UTF-8 path, and the repaint after a change of size.
#include <filesystem>
#include <memory>

#include "gui/gui_support.h"
#include "shell/resources/resource.h"
#include "view/text_class.h"

namespace tarvo::testing {
namespace {

using MainWindow = ProgramTest;

std::string firstTerm() {
    return program().engine.terms().term(0).text;
}

// Enter takes both boxes and empties the file memory only for a new Path;
// F5 searches the texts Enter last took; during a search, Enter with the
// same texts and F6 stop, Enter with a new text restarts.
TEST_F(MainWindow, EnterF5AndF6StartStopAndRestart) {
    std::string lines;
    for (int l = 0; l < 10; ++l)
        lines += "line " + std::to_string(l) + " alpha beta\n";
    for (int f = 0; f < 20; ++f)
        tree.write("src/f" + std::to_string(f) + ".txt", lines);
    const std::string root = tree.path("src");
    SetWindowTextA(windows().findBox, "alpha");
    SetWindowTextA(windows().pathBox, root.c_str());
    p().memory.add("C:\\old\\f.c", 5);
    pressEnter(windows().findBox);
    EXPECT_EQ(p().runState, RunState::StartRequested);
    EXPECT_EQ(p().memory.count(), 0) << "a new Path empties the memory";
    runRequestedSearch();
    EXPECT_EQ(p().results.count(), 200);

    SetWindowTextA(windows().findBox, "beta");  // typed, no Enter
    postKey(windows().findBox, VK_F5);
    drain();
    ASSERT_EQ(p().runState, RunState::StartRequested);
    runRequestedSearch();
    EXPECT_EQ(firstTerm(), "alpha") << "F5 does not read the boxes";
    const int32_t remembered = p().memory.count();
    ASSERT_GT(remembered, 0);
    pressEnter(windows().fileBox);  // the read-only File box acts as the Find box
    EXPECT_EQ(p().memory.count(), remembered) << "only the Find text changed";
    EXPECT_EQ(p().settings.lastFindText, "beta");
    runRequestedSearch();
    EXPECT_EQ(firstTerm(), "beta");

    const struct {
        const char* label;
        WPARAM key;  // posted to the Find box during the search
        const char* find;
        RunState after;
    } stops[] = {{"Enter, same texts: stops", '\r', "beta", RunState::Idle},
                 {"F6: stops", VK_F6, "beta", RunState::Idle},
                 {"Enter, new Find text: restarts", '\r', "alpha", RunState::StartRequested}};
    for (const auto& stop : stops) {
        SCOPED_TRACE(stop.label);
        p().runState = RunState::StartRequested;
        SetWindowTextA(windows().findBox, stop.find);
        if (stop.key == '\r')
            PostMessageA(windows().findBox, WM_CHAR, '\r', 1);
        else
            postKey(windows().pathBox, stop.key);
        runRequestedSearch();  // the key is handled at the first pump
        EXPECT_EQ(p().runState, stop.after);
        EXPECT_EQ(p().engine.stats().files, 0);
    }
    // Twenty quick F5s: the first run takes them all at its first pump and
    // ends; the second is undisturbed. No handler runs a search of its own.
    for (int i = 0; i < 20; ++i)
        postKey(windows().findBox, VK_F5);
    int runs = 0;
    for (; p().runState == RunState::StartRequested && runs < 50; ++runs)
        runRequestedSearch();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(firstTerm(), "alpha");
    EXPECT_EQ(p().engine.stats().files, 20);
    EXPECT_EQ(p().runState, RunState::Idle);
}

// Regression: the caret was put at the end with a posted End key, which ran
// while Shift was still down: Shift+Tab selected from the old caret to the
// end, and the next letter typed replaced the whole text.
TEST_F(MainWindow, TabAndShiftTabCycleFindPathFindWithTheCaretAtTheEnd) {
    SetWindowTextA(windows().findBox, "find text");
    SetWindowTextA(windows().pathBox, "C:\\a\\path");
    const std::pair<HWND, HWND> steps[] = {{windows().findBox, windows().pathBox},
                                           {windows().pathBox, windows().findBox},
                                           {windows().fileBox, windows().findBox}};
    // The caret where the target box had it: start, inside, all selected.
    const std::pair<int, int> carets[] = {{0, 0}, {3, 3}, {0, -1}};
    BYTE keys[256];
    GetKeyboardState(keys);
    for (BYTE shift : {BYTE{0}, BYTE{0x80}}) {
        keys[VK_SHIFT] = shift;
        SetKeyboardState(keys);
        for (int step = 0; step < 3; ++step) {
            const auto [from, to] = steps[step];
            for (const auto& [start, end] : carets) {
                SCOPED_TRACE(::testing::Message() << "step " << step << (shift ? " with Shift" : "")
                                                  << ", caret " << start << ".." << end);
                const std::string before = boxText(to);
                SetFocus(from);
                SendMessageA(to, EM_SETSEL, start, end);
                for (UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP})
                    SendMessageA(from, message, VK_TAB, 1);
                drain();
                EXPECT_EQ(GetFocus(), to);
                SendMessageA(to, WM_CHAR, 'x', 1);
                EXPECT_EQ(boxText(to), before + "x") << "a typed letter is appended";
                SetWindowTextA(to, before.c_str());
            }
        }
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

// "café/日本語.c": without the manifest's UTF-8 code page the walk would see
// the file as "???.c", which cannot be opened, and the File box would show
// the bytes instead of the letters.
TEST_F(MainWindow, AUtf8PathIsSearchedAndShown) {
    // Made through the wide calls, independent of the code page under test.
    const std::wstring wideFile =
        std::filesystem::path(tree.root()).wstring() + L"\\caf\u00E9\\\u65E5\u672C\u8A9E.c";
    std::filesystem::create_directories(std::filesystem::path(wideFile).parent_path());
    HANDLE handle =
        CreateFileW(wideFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    WriteFile(handle, "int gadget;\n", 12, &written, nullptr);
    CloseHandle(handle);
    search("gadget", tree.root());
    ASSERT_EQ(p().results.count(), 1) << "the file was found and read";
    EXPECT_EQ(p().previewPane.document().currentPath(),
              tree.root() + "\\caf\xC3\xA9\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.c");
    wchar_t shown[1024];
    EXPECT_EQ(std::wstring(shown, GetWindowTextW(windows().fileBox, shown, 1024)), wideFile);
}

// Regression: the main window painted its face colour over the panes when it
// was resized; a band of the preview stayed blank until the next scroll.
TEST_F(MainWindow, EveryBandShowsItsContentAfterAResize) {
    std::string lines;
    for (int i = 1; i <= 300; ++i)
        lines += "needle line " + std::to_string(i) + "\n";
    search("needle", tree.write("long.txt", lines));
    // What the screen shows of a child's client area, read from the screen
    // itself, not from a device context of the program's.
    auto fromScreen = [](HWND child, RECT& client) {
        GetClientRect(child, &client);
        POINT origin{0, 0};
        ClientToScreen(child, &origin);
        auto dib = std::make_unique<Dib>(client.right, client.bottom);
        HDC screen = GetDC(nullptr);
        BitBlt(dib->dc(), 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
        ReleaseDC(nullptr, screen);
        return dib;
    };
    const struct {
        int show, width, height;
    } changes[] = {{SW_MAXIMIZE, 0, 0}, {SW_RESTORE, 0, 0}, {0, 640, 480}, {0, 1000, 800}};
    for (const auto& change : changes) {
        SCOPED_TRACE(::testing::Message() << change.show << " " << change.width);
        if (change.show)
            ShowWindow(windows().main, change.show);
        else
            SetWindowPos(windows().main, nullptr, 0, 0, change.width, change.height,
                         SWP_NOMOVE | SWP_NOZORDER);
        drain();
        RECT client;
        auto preview = fromScreen(p().previewPane.window(), client);
        const int h = lineHeight(PreviewFont);
        ASSERT_GT(client.bottom / h, 3);
        for (int row = 0; row < client.bottom / h; ++row)
            EXPECT_GT(preview->count(kGutterColour, 0, row * h, client.right, (row + 1) * h), 5)
                << "the line number of row " << row << " is drawn";
        EXPECT_EQ(preview->count(p().faceColour, 0, 0, client.right, client.bottom), 0);
        auto results = fromScreen(p().resultsPane.window(), client);
        EXPECT_EQ(results->count(p().faceColour, 0, 0, client.right, client.bottom), 0);
        // A maximised window keeps the rectangle to restore.
        const WindowRect& saved = p().settings.windowRect;
        EXPECT_EQ(saved.right - saved.left, change.width ? change.width : 900);
    }
}

}  // namespace
}  // namespace tarvo::testing
