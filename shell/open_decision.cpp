#include "shell/open_decision.h"

#include <algorithm>

#include "shell/editor_command.h"

namespace tarvo {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameLetters(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

bool runsOnOpening(std::string_view extension) {
    return std::ranges::any_of(kRunnableExtensions,
                               [&](std::string_view e) { return sameLetters(e, extension); });
}

}  // namespace

bool commandRunsFile(std::string_view command) {
    const std::string_view program = splitCommand(command).program;
    return sameLetters(program, "%1") || sameLetters(program, "%L") ||
           command.find("%*") != std::string_view::npos;
}

OpenAction chooseOpenAction(const FileTypeFacts& facts, bool editorSet) {
    const bool runs =
        facts.dangerous || runsOnOpening(facts.extension) || commandRunsFile(facts.openCommand);
    if (!runs) return OpenAction::DefaultVerb;
    if (!facts.editCommand.empty() && !commandRunsFile(facts.editCommand))
        return OpenAction::EditVerb;
    return editorSet ? OpenAction::Editor : OpenAction::Notepad;
}

std::string_view fileExtension(std::string_view path) {
    const size_t name = path.find_last_of("\\/");
    const size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (name != std::string_view::npos && dot < name)) return {};
    return path.substr(dot);
}

}  // namespace tarvo
