#include "shell/editor_win32.h"

#include <windows.h>

#include <algorithm>

#include "engine/system_path_win32.h"
#include "shell/dialog_texts.h"
#include "shell/dialogs_win32.h"
#include "shell/editor_command.h"
#include "shell/launching_win32.h"
#include "shell/program_win32.h"

namespace tarvo {

namespace {

// The program an installer registered under App Paths for `name`, the
// user's own key first, as the shell looks it up; empty when there is none
// or it is gone. The value may be quoted.
std::string appPathsProgram(const char* name) {
    const std::wstring key =
        wideText(std::string("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + name);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        // REG_EXPAND_SZ values come back expanded.
        std::string program = pathFromSystem([&](wchar_t* buffer, size_t units) {
            DWORD size = static_cast<DWORD>(units * sizeof(wchar_t));
            const LSTATUS status =
                RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size);
            if (status == ERROR_MORE_DATA) return units;  // asks for a larger buffer
            // The size counts bytes, the value's NUL among them.
            return status == ERROR_SUCCESS && size > sizeof(wchar_t) ? size / sizeof(wchar_t) - 1
                                                                     : size_t{0};
        });
        std::erase(program, '"');
        if (isFile(program)) return program;
    }
    return {};
}

// The editor's program found along the search path, as CreateProcess
// would find searchName: the program's folder, the system folders, PATH.
std::string searchPathProgram(const KnownEditor& editor) {
    const std::string found = pathFromSystem([&](wchar_t* buffer, size_t size) {
        return SearchPathW(nullptr, wideText(editor.searchName).c_str(), nullptr,
                           static_cast<DWORD>(size), buffer, nullptr);
    });
    const size_t folder = found.find_last_of('\\');
    if (folder == std::string::npos) return {};
    const std::wstring beside = wideText(found.substr(0, folder + 1) + editor.programFromSearch);
    const std::string program = pathFromSystem([&](wchar_t* buffer, size_t size) {
        return GetFullPathNameW(beside.c_str(), static_cast<DWORD>(size), buffer, nullptr);
    });
    if (program.empty() || !isFile(program)) return {};
    return program;
}

std::string systemMessage(DWORD error) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    return text;
}

}  // namespace

std::string findEditorCommand() {
    for (const KnownEditor& editor : kKnownEditors) {
        std::string program = appPathsProgram(editor.appPathsName);
        if (program.empty()) program = searchPathProgram(editor);
        if (!program.empty()) return knownEditorCommand(editor, program);
    }
    return {};
}

bool startEditor(Program& p, const std::string& command, const std::string& path, int32_t line) {
    const EditorLaunch launch = editorLaunch(command, path, line);
    const DWORD error = launch.program.empty() ? ERROR_FILE_NOT_FOUND
                                               : launcher().startProgram(launch.program.c_str(),
                                                                         launch.arguments.c_str());
    if (error == 0) return true;
    launcher().beep(kSimpleBeep);
    const std::string text =
        "Can't start the editor " + launch.program + "\r\n\r\n" + systemMessage(error);
    showMessage(p, text);
    return false;
}

bool editEditorCommand(Program& p) {
    std::string& command = p.settings.editorCommand;
    std::string shown = command.empty() ? findEditorCommand() : command;
    if (!promptDialog(p, kEditorTitle, kEditorLabel, shown)) return false;
    command = shown;
    return true;
}

void openInEditor(Program& p) {
    const ResultEntry* selected = selectedResult(p);
    if (!selected) return launcher().beep(kSimpleBeep);
    // Copied: the prompt below runs a message loop of its own.
    const std::string path = selected->path;
    const int32_t line = std::max(selected->lineNumber, 1);
    std::string command = p.settings.editorCommand;
    if (command.empty()) command = findEditorCommand();
    if (command.empty()) {
        if (!editEditorCommand(p)) return;
        command = p.settings.editorCommand;
        if (command.empty()) return;
    }
    startEditor(p, command, path, line);
}

}  // namespace tarvo
