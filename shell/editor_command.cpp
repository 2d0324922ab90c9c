#include "shell/editor_command.h"

#include <algorithm>

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

std::string fillPlaceholders(std::string_view arguments, std::span<const Placeholder> placeholders,
                             std::string_view path) {
    std::string out;
    bool inQuotes = false;
    bool pathPlaced = false;
    for (size_t i = 0; i < arguments.size();) {
        const std::string_view tail = arguments.substr(i);
        const auto found = std::ranges::find_if(
            placeholders, [&](const Placeholder& p) { return tail.starts_with(p.name); });
        if (found == placeholders.end()) {
            if (arguments[i] == '"') inQuotes = !inQuotes;
            out += arguments[i++];
            continue;
        }
        i += found->name.size();
        if (!found->isPath) {
            out += found->text;
        } else if (inQuotes) {
            appendPath(out, path, i < arguments.size() && arguments[i] == '"');
        } else {
            appendQuotedPath(out, path);
        }
        pathPlaced = pathPlaced || found->isPath;
    }
    if (!pathPlaced) {
        if (!out.empty() && !isBlank(out.back())) out += ' ';
        appendQuotedPath(out, path);
    }
    return out;
}

EditorLaunch editorLaunch(std::string_view command, std::string_view path, int32_t line) {
    const auto [program, rest] = splitCommand(command);
    const std::string lineText = std::to_string(line);
    const Placeholder placeholders[] = {{kPathPlaceholder, true, {}},
                                        {kLinePlaceholder, false, lineText}};
    return {std::string(program), fillPlaceholders(rest, placeholders, path)};
}

std::string knownEditorCommand(const KnownEditor& editor, std::string_view program) {
    std::string command = "\"";
    command += program;
    command += "\" ";
    command += editor.arguments;
    return command;
}

}  // namespace tarvo
