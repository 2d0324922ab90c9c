#include <unistd.h>

#include <cerrno>
#include <vector>

#include "cli/console.h"

namespace tarvo {

// Every terminal is taken to show colour codes; --color auto still leaves
// them out for TERM=dumb.
ConsoleOutput prepareStandardOutput() {
    const bool terminal = isatty(STDOUT_FILENO) == 1;
    return {terminal, terminal};
}

std::string currentDirectory() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return "";  // removed, or not permitted
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

}  // namespace tarvo
