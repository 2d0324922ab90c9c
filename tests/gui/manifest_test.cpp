// What the application manifest changes, as this suite's executable links
// the same resources as the program: the UTF-8 code page for the ANSI calls
// and common controls 6. (Wine reports every process per-monitor DPI aware
// whatever the manifest says, so the DPI choice cannot be checked here.)
#include <windows.h>

#include <filesystem>
#include <string>

#include "app/settings_file.h"
#include "engine/file_memory.h"
#include "gui_support.h"

namespace tarvo::testing {
namespace {

using Manifest = ProgramTest;

std::wstring wideText(HWND window) {
    wchar_t text[1024];
    return std::wstring(text, GetWindowTextW(window, text, 1024));
}

TEST_F(Manifest, CodePageIsUtf8) {
    EXPECT_EQ(GetACP(), 65001u);
}

// "café/日本語.c" in UTF-8: without the UTF-8 code page the walk would see
// the folder in the local code page and the file as "???.c", which cannot be
// opened.
TEST_F(Manifest, AUtf8PathIsSearchedAndShown) {
    // Made through the wide calls, independent of the code page under test
    // (the C++ library's narrow paths are not UTF-8 here).
    const std::wstring wideRoot = std::filesystem::path(tree.root()).wstring();
    const std::wstring wideFolder = wideRoot + L"\\caf\u00E9";
    const std::wstring wideFile = wideFolder + L"\\\u65E5\u672C\u8A9E.c";
    ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
    HANDLE handle = CreateFileW(wideFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(handle, "int gadget;\n", 12, &written, nullptr);
    CloseHandle(handle);
    const std::string file = tree.root() + "\\caf\xC3\xA9\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.c";

    SetWindowTextA(windows().findBox, "gadget");
    SetWindowTextA(windows().pathBox, tree.root().c_str());
    pressEnter(windows().findBox);
    runRequestedSearch();
    drain();

    ASSERT_EQ(p().results.count(), 1) << "the file was found and read";
    EXPECT_EQ(p().previewPane.document().currentPath(), file);
    EXPECT_EQ(std::string(p().previewPane.document().text()), "int gadget;\n") << "and previewed";
    EXPECT_EQ(wideText(windows().fileBox), wideFile)
        << "the File box shows the letters, not their bytes";
}

std::string utf8Of(const std::wstring& wide) {
    std::string text(wide.size() * 4, '\0');
    text.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    text.data(), static_cast<int>(text.size()), nullptr, nullptr));
    return text;
}

std::string bytesOf(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    std::string bytes(4096, '\0');
    DWORD n = 0;
    if (file != INVALID_HANDLE_VALUE) ReadFile(file, bytes.data(), 4096, &n, nullptr);
    CloseHandle(file);
    bytes.resize(n);
    return bytes;
}

// A profile folder named in Latin, Cyrillic or CJK letters: the settings
// file is written there through the ANSI calls in the UTF-8 code page, with
// Windows line ends, read back, and replaced by the next save, which a
// read-only leftover of an older save's temporary file does not block.
TEST_F(Manifest, SettingsAreSavedInFoldersWithNonAsciiNames) {
    const std::wstring wideRoot = std::filesystem::path(tree.root()).wstring();
    for (const wchar_t* name : {L"J\u00FCrgen", L"\u0416", L"\u65E5\u672C"}) {
        const std::wstring wideFolder = wideRoot + L"\\" + name;
        const std::wstring wideFile = wideFolder + L"\\TarvoSearch.txt";
        const std::string file = utf8Of(wideFile);
        SCOPED_TRACE(file);
        ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
        HANDLE leftover = CreateFileW((wideFile + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
        ASSERT_NE(leftover, INVALID_HANDLE_VALUE);
        CloseHandle(leftover);

        Settings settings;
        FileMemory memory;
        memory.add("C:\\src\\a.c", 7);
        for (const char* text : {"first", "second"}) {
            settings.request.findText = text;
            ASSERT_TRUE(saveSettings(file.c_str(), false, settings, memory));
            Settings loaded;
            FileMemory loadedMemory;
            EXPECT_TRUE(loadSettings(file.c_str(), 1280, 1024, loaded, loadedMemory));
            EXPECT_EQ(loaded.request.findText, text);
            EXPECT_EQ(loadedMemory.count(), 1);
        }
        EXPECT_EQ(bytesOf(wideFile),
                  "Tarvo Search, version 1.0\r\n-2147483648 0 -2147483648 0\r\nsecond\r\n\r\n"
                  ".c;.cpp;.cxx;.h\r\n\r\n1 1 1 1 1 1 1\r\n\r\n7 C:\\src\\a.c\r\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(wideFolder), {}), 2)
            << "the file and the leftover, no temporary file of these saves";
        SetFileAttributesW((wideFile + L".tmp").c_str(), FILE_ATTRIBUTE_NORMAL);  // removable
    }
}

// Dialogs and edit boxes come from common controls 6 only when the
// manifest's dependency is in the process's activation context.
TEST_F(Manifest, CommonControls6AreInTheActivationContext) {
    ACTCTX_SECTION_KEYED_DATA found = {};
    found.cbSize = sizeof found;
    ASSERT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &found));
}

}  // namespace
}  // namespace tarvo::testing
