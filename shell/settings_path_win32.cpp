#include "shell/settings_path_win32.h"

#include <windows.h>

#include <shlobj.h>

#include "engine/system_path_win32.h"

namespace tarvo {

std::string settingsPath() {
    wchar_t folder[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return utf8Of(folder) + "\\" + kSettingsFileName;
    const std::string program = executablePath();
    const size_t slash = program.find_last_of('\\');
    if (slash != std::string::npos) return program.substr(0, slash + 1) + kSettingsFileName;
    return kSettingsFileName;
}

}  // namespace tarvo
