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

// What the shell puts in a verb's arguments when it opens one file.
constexpr Placeholder kVerbPlaceholders[] = {
    {"%1", true, {}},  {"%0", true, {}},  {"%L", true, {}},  {"%l", true, {}},  {"%V", true, {}},
    {"%v", true, {}},  {"%*", false, ""}, {"%~", false, ""}, {"%2", false, ""}, {"%3", false, ""},
    {"%4", false, ""}, {"%5", false, ""}, {"%6", false, ""}, {"%7", false, ""}, {"%8", false, ""},
    {"%9", false, ""}, {"%%", false, "%"}};

bool namesTheFile(std::string_view program) {
    return std::ranges::any_of(kVerbPlaceholders,
                               [&](const Placeholder& p) { return p.isPath && p.name == program; });
}

}  // namespace

bool commandRunsFile(std::string_view command) {
    return namesTheFile(splitCommand(command).program) ||
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

std::string verbCommandLine(std::string_view command, std::string_view path) {
    const std::string_view rest = splitCommand(command).rest;
    std::string line(command.substr(0, command.size() - rest.size()));
    if (!line.empty() && line.back() != ' ' && line.back() != '\t') line += ' ';
    line += fillPlaceholders(rest, kVerbPlaceholders, path);
    return line;
}

std::string_view fileExtension(std::string_view path) {
    const size_t name = path.find_last_of("\\/");
    const size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (name != std::string_view::npos && dot < name)) return {};
    return path.substr(dot);
}

}  // namespace tarvo
