#include "shell/launching.h"

namespace tarvo {

namespace {
constexpr std::string_view kGuideBesideExecutable = "docs\\index.html";
constexpr std::string_view kGuideCopyName = "TarvoSearch-guide.html";
}  // namespace

std::string notepadCommandLine(std::string_view path) {
    std::string line = "notepad.exe \"";
    line += path;
    line += '"';
    return line;
}

std::string documentationPath(std::string_view executablePath) {
    // Everything up to and with the last separator is the folder; a bare
    // name leaves the guide relative to the current folder.
    const size_t slash = executablePath.find_last_of("\\/");
    std::string path(slash == std::string_view::npos ? std::string_view()
                                                     : executablePath.substr(0, slash + 1));
    path += kGuideBesideExecutable;
    return path;
}

UserGuide userGuide(std::string_view executablePath, bool besideExists,
                    std::string_view tempFolder) {
    if (besideExists || tempFolder.empty()) return {documentationPath(executablePath), false};
    std::string path(tempFolder);
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    path += kGuideCopyName;
    return {path, true};
}

}  // namespace tarvo
