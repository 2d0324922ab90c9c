#include "shell/copy_commands_win32.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/wide_text.h"
#include "shell/launching_win32.h"
#include "shell/program_win32.h"
#include "shell/result_copy.h"

namespace tarvo {

namespace {

// The clipboard holds UTF-16 (CF_UNICODETEXT); the system derives the ANSI
// and OEM forms from it for programs that ask for those. A text pastes as the
// panes show it: bytes that are not UTF-8 as their Windows-1252 characters.
bool putOnClipboard(HWND owner, const std::string& text) {
    const std::u16string wide = toUtf16(text);
    const size_t bytes = (wide.size() + 1) * sizeof(char16_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
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
