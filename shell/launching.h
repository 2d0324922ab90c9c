// What the launching commands hand to other programs, worked out without a
// window: the Notepad command line and where the user guide lies.
#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// "notepad.exe" and the path in double quotes, so a path with spaces
// reaches Notepad as one argument.
std::string notepadCommandLine(std::string_view path);

// The user guide is shipped beside the executable, in docs\index.html, so
// Help works without a network and always matches the program's version.
// `executablePath` is the program's full path with backslashes.
std::string documentationPath(std::string_view executablePath);

}  // namespace tarvo
