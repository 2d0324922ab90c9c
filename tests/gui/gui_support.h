// Helpers for the window suites: the real program started in-process on the
// test's thread, a memory DIB to draw into and read back, a subclass that
// records what a window receives, and one search run the way the user runs
// one. Each TEST runs in its own process (gtest_discover_tests), since the
// program's state is process-wide.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/program_entry_win32.h"
#include "shell/program_win32.h"
#include "shell/run_loop_win32.h"
#include "support/temp_tree.h"
#include "view/text_drawing_win32.h"

namespace tarvo::testing {

constexpr COLORREF kWhitePixel = RGB(255, 255, 255);
constexpr COLORREF kBlackPixel = RGB(0, 0, 0);
constexpr COLORREF kMarkPixel = RGB(255, 255, 160);

inline Program& p() {
    return program();
}
inline const MainWindows& windows() {
    return program().windows;
}
// Everything queued, handled as the scanner's pump would.
inline void drain() {
    pumpMessages(false);
}
inline std::string boxText(HWND box) {
    char text[10001];
    return std::string(text, GetWindowTextA(box, text, sizeof text));
}
inline void pressEnter(HWND box) {
    SendMessageA(box, WM_CHAR, '\r', 1);
}
// A key as the keyboard would queue it: through the accelerators.
inline void postKey(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
}

// One search as Enter and the run loop run it, then the timer tick that
// repaints the list.
inline void search(const std::string& find, const std::string& path) {
    SetWindowTextA(windows().findBox, find.c_str());
    SetWindowTextA(windows().pathBox, path.c_str());
    pressEnter(windows().findBox);
    runRequestedSearch();
    SendMessageA(windows().main, WM_TIMER, 1, 0);
    drain();
}

// The program started with a settings file in a scratch tree, its main
// window at a known size so the panes' row counts are known.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        program().settingsFile = settingsFile();
        startProgram(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
        SetWindowPos(windows().main, nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
        drain();
    }
    void TearDown() override {
        DestroyWindow(windows().main);
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    std::string settingsFile() const { return tree.path("settings/TarvoSearch.txt"); }

    // `files` files of `lines` lines "line <n> <word>\n" under src.
    std::string writeFiles(int files, int lines, const char* word) {
        for (int f = 0; f < files; ++f) {
            std::string text;
            for (int l = 0; l < lines; ++l)
                text += "line " + std::to_string(l) + " " + word + "\n";
            tree.write("src/file" + std::to_string(f) + ".txt", text);
        }
        return tree.path("src");
    }

    TempTree tree;
};

// A 32-bpp top-down DIB section selected into a memory DC: what GDI draws
// into it reads back exactly, whatever the display depth.
class Dib {
public:
    Dib(int width, int height) : width_(width) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<DWORD*>(bits);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, WHITENESS);
    }
    ~Dib() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const {
        GdiFlush();
        const DWORD pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 255, (pixel >> 8) & 255, pixel & 255);
    }
    // Pixels of one colour in [left, right) x [top, bottom).
    int count(COLORREF colour, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += at(x, y) == colour;
        return n;
    }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    DWORD* bits_;
};

// Runs `before` with every message a window gets, ahead of its own procedure.
class MessageRecorder {
public:
    MessageRecorder(HWND window, std::function<void(UINT message)> before)
        : window_(window), before_(std::move(before)) {
        // A window property, not GWLP_USERDATA: the panes keep their object there.
        SetPropA(window, kProperty, this);
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure)));
    }
    ~MessageRecorder() {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(window_, kProperty);
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

private:
    static constexpr const char* kProperty = "MessageRecorder";
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<MessageRecorder*>(GetPropA(window, kProperty));
        self->before_(message);
        return CallWindowProcA(self->original_, window, message, wParam, lParam);
    }

    HWND window_;
    std::function<void(UINT)> before_;
    WNDPROC original_;
};

}  // namespace tarvo::testing
