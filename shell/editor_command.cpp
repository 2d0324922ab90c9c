#include "shell/editor_command.h"

namespace tarvo {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

size_t skipBlanks(std::string_view text, size_t at) {
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

// The path as the inside of a quoted argument. Before a closing quote each
// backslash that ends it is doubled: the system's argument rules read "\""
// as a quote character, and "\\\"" as a backslash and the end.
void appendPath(std::string& out, std::string_view path, bool quoteFollows) {
    out += path;
    if (!quoteFollows) return;
    for (size_t i = path.size(); i > 0 && path[i - 1] == '\\'; --i)
        out += '\\';
}

void appendQuotedPath(std::string& out, std::string_view path) {
    out += '"';
    appendPath(out, path, true);
    out += '"';
}

}  // namespace

CommandParts splitCommand(std::string_view command) {
    size_t at = skipBlanks(command, 0);
    const bool quoted = at < command.size() && command[at] == '"';
    if (quoted) ++at;
    size_t end = at;
    while (end < command.size() && (quoted ? command[end] != '"' : !isBlank(command[end])))
        ++end;
    const std::string_view program = command.substr(at, end - at);
    if (quoted && end < command.size()) ++end;  // past the closing quote
    return {program, command.substr(skipBlanks(command, end))};
}

EditorLaunch editorLaunch(std::string_view command, std::string_view path, int32_t line) {
    const auto [program, rest] = splitCommand(command);
    EditorLaunch launch{std::string(program), {}};
    std::string& out = launch.arguments;
    bool inQuotes = false;
    bool pathPlaced = false;
    for (size_t i = 0; i < rest.size();) {
        const std::string_view tail = rest.substr(i);
        if (tail.starts_with(kPathPlaceholder)) {
            i += kPathPlaceholder.size();
            pathPlaced = true;
            if (inQuotes) {
                appendPath(out, path, i < rest.size() && rest[i] == '"');
            } else {
                appendQuotedPath(out, path);
            }
        } else if (tail.starts_with(kLinePlaceholder)) {
            i += kLinePlaceholder.size();
            out += std::to_string(line);
        } else {
            if (rest[i] == '"') inQuotes = !inQuotes;
            out += rest[i++];
        }
    }
    if (!pathPlaced) {
        if (!out.empty() && !isBlank(out.back())) out += ' ';
        appendQuotedPath(out, path);
    }
    return launch;
}

std::string knownEditorCommand(const KnownEditor& editor, std::string_view program) {
    std::string command = "\"";
    command += program;
    command += "\" ";
    command += editor.arguments;
    return command;
}

}  // namespace tarvo
