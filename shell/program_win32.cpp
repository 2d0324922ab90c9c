#include "shell/program_win32.h"

#include "shell/settings_path_win32.h"

namespace tarvo {

std::string currentSettingsPath(const Program& program) {
    return program.settingsFile.empty() ? settingsPath() : program.settingsFile;
}

void useTabWidth(Program& program) {
    const int columns = tabWidthOf(program.settings);
    program.resultsPane.setTabWidth(columns);
    program.previewPane.setTabWidth(columns);
}

const ResultEntry* selectedResult(Program& program) {
    ResultStore& store = program.results;
    if (store.selectedRow() < 0) return nullptr;
    store.ensureDisplayOrder();
    return &store.displayEntry(store.selectedRow());
}

}  // namespace tarvo
