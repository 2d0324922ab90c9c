// The window suites' program, started in-process on the test's thread, the user's steps and a
// bitmap to read back. Each TEST runs in a process of its own: the program's state is process-wide.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/system_path_win32.h"
#include "shell/commands_win32.h"
#include "shell/program_entry_win32.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"
#include "shell/run_loop_win32.h"
#include "support/temp_tree.h"
#include "view/text_class.h"
#include "view/text_drawing_win32.h"

namespace tarvo::testing {

constexpr COLORREF kWhitePixel = RGB(255, 255, 255);
constexpr COLORREF kBlackPixel = RGB(0, 0, 0);
constexpr COLORREF kMarkPixel = RGB(255, 255, 160);

// Made once and never freed, as the entry point makes its own.
inline Program& testProgram() {
    static Program* const program = new Program;
    return *program;
}

// The program with its settings in a scratch tree, its window at a size that fixes the row counts.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        p().settingsFile = tree.path("settings/TarvoSearch.txt");
        startProgram(p(), GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
        SetWindowPos(windows().main, nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
        drain();
    }
    static Program& p() { return testProgram(); }
    static const MainWindows& windows() { return p().windows; }
    static int rowHeight(FontIndex f = FontIndex::Interface) { return p().fonts.lineHeight(f); }
    static void drain() { pumpMessages(p(), false); }  // as the scanner's pump does
    static void pressEnter(HWND box) { SendMessageA(box, WM_CHAR, '\r', 1); }
    static void postKey(HWND window, WPARAM key) { PostMessageA(window, WM_KEYDOWN, key, 1); }
    static void holdKeys(bool control, bool shift) {
        BYTE state[256] = {};
        state[VK_CONTROL] = control ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
    }
    // `key` queued and handled with Ctrl and Shift held as given, released after.
    static void pressKey(HWND window, WPARAM key, bool control = false, bool shift = false) {
        holdKeys(control, shift);
        postKey(window, key);
        drain();
        holdKeys(false, false);
    }
    static std::string boxText(HWND box) {
        char text[10001];
        return std::string(text, GetWindowTextA(box, text, sizeof text));
    }
    // The real cursor to a client point, then `events` (MOUSEEVENTF_...) queued together.
    static void mouseAt(HWND window, int x, int y, std::initializer_list<DWORD> events = {}) {
        POINT at{x, y};
        ClientToScreen(window, &at);
        SetCursorPos(at.x, at.y);
        drain();
        for (DWORD event : events)
            mouse_event(event, 0, 0, 0, 0);
        drain();
    }
    // The screen point (x, y) from the top left of `window`.
    static LPARAM pointIn(HWND window, int x, int y) {
        RECT area;
        GetWindowRect(window, &area);
        return MAKELPARAM(area.left + x, area.top + y);
    }
    // One search as Enter and the run loop run it, then the timer tick that repaints the list.
    static void search(const std::string& find, const std::string& path) {
        SetWindowTextA(windows().findBox, find.c_str());
        SetWindowTextA(windows().pathBox, path.c_str());
        pressEnter(windows().findBox);
        runRequestedSearch(p());
        SendMessageA(windows().main, WM_TIMER, 1, 0);
        drain();
    }
    // A copy of the recording program at `relative`, named as the program it stands in for.
    std::string recorder(const std::string& relative) const {
        std::string folder = executablePath();
        folder.resize(folder.find_last_of('\\') + 1);
        const std::string copy = tree.write(relative, "");
        EXPECT_TRUE(CopyFileW(widePath(folder + "command_recorder.exe").c_str(),
                              widePath(copy).c_str(), FALSE));
        return copy;
    }
    // The copy's command lines, one a line, once it logged `starts` of them (10 s at most).
    static std::string startedWith(const std::string& copy, int starts = 1) {
        std::string log;
        for (int wait = 0; wait < 200 && std::ranges::count(log, '\n') < starts; ++wait) {
            Sleep(50);
            drain();
            log = readBytes(copy + ".log");
        }
        return log;
    }
    static std::string clipboardText() {
        OpenClipboard(nullptr);
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
        const std::string utf8 = text ? utf8Of(text) : "";
        GlobalUnlock(data);
        CloseClipboard();
        return utf8;
    }
    TempTree tree;
};

// HKEY_CLASSES_ROOT keys for one test, removed at its end; none made where one exists (taken()).
class ClassKeys {
public:
    using Keys = std::vector<std::pair<std::string, std::string>>;
    explicit ClassKeys(Keys keys) : keys_(std::move(keys)) {
        for (const auto& key : keys_) {
            HKEY existing;
            if (RegOpenKeyExW(HKEY_CLASSES_ROOT, top(key).c_str(), 0, KEY_READ, &existing))
                continue;
            RegCloseKey(existing);
            taken_ = true;
            return;
        }
        for (const auto& [key, value] : keys_) {
            const std::wstring text = wideText(value);
            EXPECT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, wideText(key).c_str(), nullptr, REG_SZ,
                                      text.c_str(), (text.size() + 1) * sizeof(wchar_t)),
                      0)
                << key;
        }
    }
    ~ClassKeys() {
        for (const auto& key : keys_)
            if (!taken_) RegDeleteTreeW(HKEY_CLASSES_ROOT, top(key).c_str());
    }
    bool taken() const { return taken_; }

private:
    static std::wstring top(const Keys::value_type& key) {
        return wideText(key.first.substr(0, key.first.find('\\')));
    }
    Keys keys_;
    bool taken_ = false;
};

// Runs `open`, whose dialog loops modally; `steps` (posting what drives it) after WM_INITDIALOG.
inline std::function<void(HWND dialog)> dialogSteps;
inline LRESULT CALLBACK afterDialogMessage(int code, WPARAM sent, LPARAM message) {
    const auto* handled = reinterpret_cast<const CWPRETSTRUCT*>(message);
    if (handled->message == WM_INITDIALOG) dialogSteps(handled->hwnd);
    return CallNextHookEx(nullptr, code, sent, message);
}
inline void runDialog(const std::function<void()>& open, std::function<void(HWND)> steps) {
    dialogSteps = std::move(steps);
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROCRET, afterDialogMessage, nullptr, GetCurrentThreadId());
    open();
    UnhookWindowsHookEx(hook);
}

// A 32-bpp bitmap in a memory DC: what GDI draws reads back exactly, whatever the display depth.
class Dib {
public:
    Dib(int width, int height)
        : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateBitmap(width, height, 1, 32, nullptr)) {
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, WHITENESS);
    }
    Dib(HDC source, int width, int height) : Dib(width, height) {
        BitBlt(dc_, 0, 0, width, height, source, 0, 0, SRCCOPY);
    }
    // A copy of what `window` (null: the screen) shows, read from the screen itself.
    Dib(HWND window, int width, int height) : Dib(width, height) {
        HDC shown = GetDC(window);
        BitBlt(dc_, 0, 0, width, height, shown, 0, 0, SRCCOPY);
        ReleaseDC(window, shown);
    }
    template <class Pane>
    Dib(Pane& pane, int width, int height) : Dib(width, height) {
        pane.paint(dc_);
    }
    ~Dib() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
    // Pixels of one colour in [left, right) x [top, bottom).
    int count(COLORREF colour, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += at(x, y) == colour;
        return n;
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

}  // namespace tarvo::testing
