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

// The file Help opens. A program copied alone, without its docs folder,
// still has the guide built into it: Help then writes that copy to one
// fixed file in the user's temporary folder, rewritten each time so it
// matches this version, and opens it.
struct UserGuide {
    std::string path;
    bool builtIn = false;  // the temporary copy, written before it is opened
};
// `besideExists`: whether the guide beside the executable is there;
// `tempFolder`: the user's temporary folder, empty when unknown.
UserGuide userGuide(std::string_view executablePath, bool besideExists,
                    std::string_view tempFolder);

}  // namespace tarvo
