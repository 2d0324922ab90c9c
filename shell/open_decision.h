// What Open does with a file, worked out without a window: it shows the
// file, it never runs it.
//
// Open hands a file to its type's default verb, as a double-click in
// Explorer does. For some types that verb runs the file: batch and command
// scripts, Windows Script Host files, PowerShell scripts on some systems,
// HTML applications, shortcuts, installers, executables. A search result in
// a project just downloaded is no reason to run it, so for those types Open
// shows the file instead: with the type's own "edit" verb when it has one,
// else in the user's editor when one is set, else in Notepad. The edit
// verb's command is started here, never handed to the shell with the verb:
// a shell may run a script whatever verb it is asked for.
#pragma once

#include <string>
#include <string_view>

namespace tarvo {

enum class OpenAction {
    DefaultVerb,  // what a double-click in Explorer does
    EditVerb,     // the type's "edit" verb
    Editor,       // the editor command, at the result's line
    Notepad,      // as Open with Notepad
};

// What the system reports about a file's type.
struct FileTypeFacts {
    std::string extension;    // with its dot; empty for a name without one
    bool dangerous = false;   // the system counts the type as unsafe to open
    std::string openCommand;  // the default verb's command line; empty when none
    std::string editCommand;  // the "edit" verb's command line; empty when none
};

// Types counted as run on opening whatever the system reports, for systems
// whose associations or list of unsafe types miss them: the executables,
// scripts, installers and links that Windows runs or follows itself.
inline constexpr std::string_view kRunnableExtensions[] = {
    ".bat", ".cmd", ".com", ".cpl", ".exe", ".hta", ".js",  ".jse", ".lnk", ".msi",
    ".msp", ".pif", ".ps1", ".reg", ".scr", ".url", ".vbe", ".vbs", ".wsf", ".wsh"};

// Whether a verb's command line runs the file: it starts the file itself
// ("%1" or "%L" as the program), or hands the program the arguments the file
// would be started with ("%*"), as script hosts, interpreters and
// installers are registered. An editor or viewer gets the file alone.
bool commandRunsFile(std::string_view command);

OpenAction chooseOpenAction(const FileTypeFacts& facts, bool editorSet);

// The command line that starts a verb's `command` on `path` as the shell
// would: the program as written (an unquoted program path with blanks is
// left for the system to resolve, as the shell leaves it), then the
// arguments with %1, %0, %L and %V (the file, any letter case) filled in,
// %*, %~ and %2 to %9 (the further arguments, of which there are none)
// left out and %% made one %; the quoted path last when no placeholder
// names the file (fillPlaceholders).
std::string verbCommandLine(std::string_view command, std::string_view path);

// The file name's last dot and what follows it; empty when the name (after
// the last separator) has no dot.
std::string_view fileExtension(std::string_view path);

}  // namespace tarvo
