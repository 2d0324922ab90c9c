// The user's editor, worked out without a window: the command line that
// opens one result at its line, and the commands of the editors looked for
// when the user has set none.
//
// An editor command is a command line in which %path% stands for the
// result's file and %line% for its line number:
//
//   "C:\Program Files\Notepad++\notepad++.exe" -n%line% "%path%"
//   code -g "%path%:%line%"
//
// Its first word (or the text between its first pair of double quotes) is
// the program, which the system finds as it finds any program it is asked
// to start by name; the placeholders are replaced in the rest only, so no
// setting can make the result's file itself the program.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvo {

inline constexpr std::string_view kPathPlaceholder = "%path%";
inline constexpr std::string_view kLinePlaceholder = "%line%";

// A command line's program (its first word, or the text between its first
// pair of double quotes, without them) and the rest after the blanks that
// follow it.
struct CommandParts {
    std::string_view program;
    std::string_view rest;
};
CommandParts splitCommand(std::string_view command);

// A placeholder of a command line's arguments and what stands in its place:
// the file's path, or a fixed text.
struct Placeholder {
    std::string_view name;  // as written: "%path%", "%1"
    bool isPath = false;
    std::string_view text;  // in its place when it is not the path
};

// `arguments` with every placeholder replaced in one pass (a path that
// holds a placeholder stays as it is). The path inside double quotes is
// put as it stands; outside them it becomes a quoted argument, so a path
// with blanks stays one argument. Backslashes that end the path are
// doubled before a closing quote, which would otherwise read as a literal
// quote. Arguments without a path placeholder get the quoted path as
// their last argument.
std::string fillPlaceholders(std::string_view arguments, std::span<const Placeholder> placeholders,
                             std::string_view path);

struct EditorLaunch {
    std::string program;    // as written, without its quotes
    std::string arguments;  // the placeholders replaced
};

// Splits `command` into program and arguments and fills `path` and `line`
// into the arguments (fillPlaceholders).
EditorLaunch editorLaunch(std::string_view command, std::string_view path, int32_t line);

// An editor the program looks for when no command is set, with its own way
// of being told a line.
struct KnownEditor {
    const char* appPathsName;  // the name registered under App Paths
    const char* searchName;    // the file looked for along the search path
    // The program, from the folder where searchName was found: searchName
    // itself, or the executable a launcher script there starts (VS Code
    // puts "bin\code.cmd" on the path, not Code.exe, and a script would
    // hand the path to the command interpreter).
    const char* programFromSearch;
    const char* arguments;
};

// Looked for in this order; the first found is used.
inline constexpr KnownEditor kKnownEditors[] = {
    {"Code.exe", "code.cmd", "..\\Code.exe", "-g \"%path%:%line%\""},
    {"notepad++.exe", "notepad++.exe", "notepad++.exe", "-n%line% \"%path%\""},
};

// The editor command for a known editor found at `program`.
std::string knownEditorCommand(const KnownEditor& editor, std::string_view program);

}  // namespace tarvo
