// The real main window, created in this process as start-up creates it,
// with the settings file sent to a scratch folder so no test reads or
// writes the user's. The program's state lives for the whole process, so
// each TEST runs in a process of its own (gtest_discover_tests).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "shell/program_entry_win32.h"
#include "shell/program_win32.h"
#include "shell/run_loop_win32.h"
#include "support/temp_tree.h"

namespace tarvo::testing {

// A 32-bpp top-down DIB section selected into a memory DC: painting code
// draws into it and the test reads back exact colours, whatever the
// display's depth.
class Dib {
public:
    Dib(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down: row 0 first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const DWORD*>(bits);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, BLACKNESS);
    }
    ~Dib() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF at(int x, int y) const {
        GdiFlush();
        const DWORD p = bits_[y * width_ + x];
        return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
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
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    const DWORD* bits_ = nullptr;
};

class MainWindowTest : public ::testing::Test {
protected:
    // A main window of a known size, so the panes' row counts are known.
    static constexpr int kWindowWidth = 900;
    static constexpr int kWindowHeight = 700;

    void SetUp() override {
        Program& p = program();
        p.settingsFile = scratch.path("settings/TarvoSearch.txt");
        startProgram(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
        SetWindowPos(p.windows.main, nullptr, 0, 0, kWindowWidth, kWindowHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        pump();
    }

    // Handles everything queued, as the pump does between two files.
    static void pump() { pumpMessages(false); }

    // One search as Enter and the run loop run it, then the timer tick
    // that repaints the list and the status line.
    static void search(const std::string& find, const std::string& path) {
        Program& p = program();
        p.settings.request.findText = find;
        p.settings.request.pathText = path;
        p.runState = RunState::StartRequested;
        runRequestedSearch();
        SendMessageA(p.windows.main, WM_TIMER, 1, 0);
        pump();
    }

    // A pane's vertical scroll bar as the window system holds it.
    static SCROLLINFO scrollBar(HWND window) {
        SCROLLINFO bar = {};
        bar.cbSize = sizeof bar;
        bar.fMask = SIF_ALL;
        GetScrollInfo(window, SB_VERT, &bar);
        return bar;
    }

    TempTree scratch;
};

}  // namespace tarvo::testing
