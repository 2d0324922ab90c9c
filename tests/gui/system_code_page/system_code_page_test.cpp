// The window program without the manifest's UTF-8 code page (before Windows 10 1903): the ANSI
// calls use the system's code page (1252 under Wine).
#include "engine/wide_text.h"
#include "gui/gui_support.h"
#include "shell/edit_box_win32.h"

namespace tarvo::testing {
namespace {

using SystemCodePage = ProgramTest;

// Cyrillic and Japanese names found, shown, copied and remembered through the wide calls.
TEST_F(SystemCodePage, CyrillicAndJapaneseNamesAreFoundPreviewedAndTyped) {
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest asks for UTF-8";
    const std::string files[] = {
        tree.write("\xd0\x96\xd0\xb0\xd0\xbd\xd1\x80/\xd1\x84\xd0\xb0\xd0\xb9\xd0\xbb.c",
                   "int needle;\n"),
        tree.write("\xe6\x97\xa5\xe6\x9c\xac/\xe8\xaa\x9e.txt", "needle \xe6\x97\xa5\n")};
    search("needle", tree.root());
    ASSERT_EQ(p().results.count(), 2);
    for (int32_t row = 0; row < 2; ++row) {
        p().results.selectRow(row);
        drain();
        const std::string& path = selectedResult(p())->path;
        SCOPED_TRACE(path);
        EXPECT_TRUE(std::ranges::count(files, path));
        EXPECT_GT(p().previewPane.document().lineCount(), 0) << "the file was read";
        wchar_t shown[1024];
        const std::u16string wide = toUtf16(path);
        EXPECT_EQ(std::wstring(shown, GetWindowTextW(windows().fileBox, shown, 1024)),
                  std::wstring(wide.begin(), wide.end()));
        runCommand(p(), IDM_COPY_PATH);
        EXPECT_EQ(clipboardText(), path);
        EXPECT_GE(p().memory.find(path.c_str()), 0);
    }
    // A Cyrillic letter typed in the Find box and the prompt arrives whole; Japanese shows whole.
    const std::string zhe = "\xd0\x96", japanese = "\xe6\x97\xa5\xe6\x9c\xac";
    SetWindowTextW(windows().findBox, L"");
    PostMessageW(windows().findBox, WM_CHAR, 0x0416, 1);
    drain();
    EXPECT_EQ(readBox(windows().findBox), zhe);
    std::string& skipFolders = p().settings.request.skipFolders;
    skipFolders = japanese;
    std::wstring shown;
    runDialog([] { runCommand(p(), IDM_SKIP_FOLDERS); },
              [&](HWND dialog) {
                  wchar_t text[64];
                  shown.assign(text, GetDlgItemTextW(dialog, IDC_PROMPT_EDIT, text, 64));
                  PostMessageW(GetDlgItem(dialog, IDC_PROMPT_EDIT), WM_CHAR, 0x0416, 1);
                  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
              });
    EXPECT_EQ(shown, L"\x65e5\x672c");
    EXPECT_EQ(skipFolders, japanese + zhe);
}

}  // namespace
}  // namespace tarvo::testing
