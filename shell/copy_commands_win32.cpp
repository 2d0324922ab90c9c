#include "shell/copy_commands_win32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "shell/launching_win32.h"
#include "shell/program_win32.h"
#include "shell/result_copy.h"

namespace tarvo {

namespace {

// The clipboard holds UTF-16 (CF_UNICODETEXT); the system derives the ANSI
// and OEM forms from it for programs that ask for those. Bytes that are not
// UTF-8 become U+FFFD.
bool putOnClipboard(HWND owner, const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (static_cast<size_t>(units) + 1) * sizeof(WCHAR));
    if (!memory) return false;
    auto* wide = static_cast<WCHAR*>(GlobalLock(memory));
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide, units);
    wide[units] = L'\0';
    GlobalUnlock(memory);
    bool placed = false;
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        // From here the clipboard owns the memory.
        placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
    }
    if (!placed) GlobalFree(memory);
    return placed;
}

void copy(const Program& p, const std::string& text) {
    if (!putOnClipboard(p.windows.main, text)) launcher().beep(kSimpleBeep);
}

}  // namespace

void copyResult(Program& p) {
    const ResultEntry* selected = selectedResult(p);
    if (!selected) return launcher().beep(kSimpleBeep);
    copy(p, copyTextOfResults({selected}));
}

void copyResultPath(Program& p) {
    const ResultEntry* selected = selectedResult(p);
    if (!selected) return launcher().beep(kSimpleBeep);
    copy(p, selected->path);
}

void copyAllResults(Program& p) {
    ResultStore& store = p.results;
    if (store.count() == 0) return launcher().beep(kSimpleBeep);
    store.ensureDisplayOrder();
    std::vector<const ResultEntry*> rows;
    for (int32_t row = 0; row < store.count(); ++row)
        rows.push_back(&store.displayEntry(row));
    copy(p, copyTextOfResults(rows));
}

}  // namespace tarvo
