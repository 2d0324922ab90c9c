// Helpers for the window suites: the real program started in-process on the
// test's thread, a memory DIB to draw into and read back, and a subclass
// that records what a window receives. Each TEST runs in its own process
// (gtest_discover_tests), since the program's state is process-wide.
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

namespace tarvo::testing {

// The program started with a settings file in a scratch tree.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        program().settingsFile = settingsFile();
        writeSettings();
        startProgram(GetModuleHandleA(nullptr), commandLine().c_str(), SW_SHOWNORMAL);
        drain();
    }

    void TearDown() override {
        Program& p = program();
        DestroyWindow(p.windows.main);
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        UnregisterClassA("vrex", GetModuleHandleA(nullptr));
        UnregisterClassA("Pane", GetModuleHandleA(nullptr));
    }

    // What a test may change before the program starts.
    virtual std::string commandLine() { return ""; }
    virtual void writeSettings() {}

    std::string settingsFile() const { return tree.path("settings/TarvoSearch.txt"); }

    // Everything queued, handled as the scanner's pump would.
    static void drain() { pumpMessages(false); }

    static Program& p() { return program(); }
    static const MainWindows& windows() { return program().windows; }

    static std::string boxText(HWND box) {
        char text[10001];
        int length = GetWindowTextA(box, text, sizeof text);
        return std::string(text, length);
    }
    static void pressEnter(HWND box) { SendMessageA(box, WM_CHAR, '\r', 1); }
    // A key as the keyboard would queue it: through the accelerators.
    static void postKey(HWND window, WPARAM key) { PostMessageA(window, WM_KEYDOWN, key, 1); }

    // Files of `count` lines "line <n> <word>\n" under the scratch tree.
    std::string writeFiles(int files, int lines, const char* word) {
        std::string root = tree.mkdir("src");
        for (int f = 0; f < files; ++f) {
            std::string text;
            for (int l = 0; l < lines; ++l)
                text += "line " + std::to_string(l) + " " + word + "\n";
            tree.write("src/file" + std::to_string(f) + ".txt", text);
        }
        return root;
    }

    TempTree tree;
};

// A 32-bpp top-down DIB section selected into a memory DC: what GDI draws
// into it reads back exactly, whatever the display depth.
class Dib {
public:
    Dib(int width, int height) : width_(width), height_(height) {
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
        DWORD pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 255, (pixel >> 8) & 255, pixel & 255);
    }
    int countColour(COLORREF colour) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                n += at(x, y) == colour;
        return n;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    DWORD* bits_;
};

// Sees every message a window gets before its own procedure does.
class MessageRecorder {
public:
    struct Seen {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    explicit MessageRecorder(HWND window) : window_(window) {
        // A window property, not GWLP_USERDATA: the panes keep their object there.
        SetPropA(window, kRecorderProperty, this);
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure)));
    }
    ~MessageRecorder() {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(window_, kRecorderProperty);
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    int count(UINT message, WPARAM wParam) const {
        int n = 0;
        for (const Seen& s : seen)
            n += s.message == message && s.wParam == wParam;
        return n;
    }
    int count(UINT message) const {
        int n = 0;
        for (const Seen& s : seen)
            n += s.message == message;
        return n;
    }

    std::vector<Seen> seen;
    std::function<void(UINT message)> before;  // runs before the window's procedure

private:
    static constexpr const char* kRecorderProperty = "MessageRecorder";
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<MessageRecorder*>(GetPropA(window, kRecorderProperty));
        self->seen.push_back({message, wParam, lParam});
        if (self->before) self->before(message);
        return CallWindowProcA(self->original_, window, message, wParam, lParam);
    }

    HWND window_;
    WNDPROC original_;
};

}  // namespace tarvo::testing
