#include "shell/settings_path_win32.h"

#include <windows.h>

#include <shlobj.h>

namespace tarvo {

std::string settingsPath() {
    char folder[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::string(folder) + "\\" + kSettingsFileName;
    char program[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::string path(program, length);
        size_t slash = path.find_last_of('\\');
        if (slash != std::string::npos) return path.substr(0, slash + 1) + kSettingsFileName;
    }
    return kSettingsFileName;
}

}  // namespace tarvo
