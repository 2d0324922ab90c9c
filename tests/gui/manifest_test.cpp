// What the application manifest changes, as this suite's executable links
// the same resources as the program: the UTF-8 code page for the ANSI calls
// and common controls 6. (Wine reports every process per-monitor DPI aware
// whatever the manifest says, so the DPI choice cannot be checked here.)
#include <windows.h>

#include <filesystem>
#include <string>

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
