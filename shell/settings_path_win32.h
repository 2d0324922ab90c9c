// Where the settings file lives: TarvoSearch.txt in the user's
// application-data folder.
#pragma once

#include <string>

namespace tarvo {

inline constexpr const char* kSettingsFileName = "TarvoSearch.txt";

// Built afresh at each call. Without an application-data folder the file
// sits beside the executable, and failing that in the current directory.
std::string settingsPath();

}  // namespace tarvo
