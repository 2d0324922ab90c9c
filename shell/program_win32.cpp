#include "shell/program_win32.h"

#include "shell/settings_path_win32.h"

namespace tarvo {

Program& program() {
    // Allocated once and never freed: it outlives every window and the
    // search that may still be on the stack when the process ends.
    static Program* const instance = new Program;
    return *instance;
}

std::string currentSettingsPath() {
    const Program& p = program();
    return p.settingsFile.empty() ? settingsPath() : p.settingsFile;
}

const ResultEntry* selectedResult() {
    ResultStore& store = program().results;
    if (store.selectedRow() < 0) return nullptr;
    store.ensureDisplayOrder();
    return &store.displayEntry(store.selectedRow());
}

}  // namespace tarvo
