#include "shell/launching_win32.h"

#include <shellapi.h>

#include <string>

#include "shell/launching.h"
#include "shell/program_win32.h"

namespace tarvo {

namespace {

// MessageBeep's "simple beep" argument: the speaker, not a sound scheme.
constexpr UINT kSimpleBeep = 0xFFFFFFFF;

void beepWithSystem(UINT type) {
    MessageBeep(type);
}

// The default verb, no parameters, directory "": what the system does when
// the user opens the file from the shell. The result is not looked at: a
// missing association is not reported.
void shellOpenWithSystem(const char* file) {
    ShellExecuteA(nullptr, nullptr, file, nullptr, "", SW_SHOW);
}

std::string executablePath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A path cut at MAX_PATH names some other file: start nothing.
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(path, length);
}

const std::string& previewedPath() {
    return program().previewPane.document().currentPath();
}

}  // namespace

Launcher& launcher() {
    static Launcher instance{beepWithSystem, startDetachedProcess, shellOpenWithSystem};
    return instance;
}

bool startDetachedProcess(const char* application, const char* commandLine) {
    // CreateProcessA may write into the command line; give it a copy.
    std::string line = commandLine ? commandLine : "";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(application, line.empty() ? nullptr : line.data(), nullptr, nullptr, FALSE,
                        0, nullptr, nullptr, &startup, &started))
        return false;
    // Not waited for: the handles are only closed, the process lives on.
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

void openNewWindow() {
    const std::string exe = executablePath();
    Program& p = program();
    p.settings.sortMode = p.results.sortMode();
    // A file that cannot be written still leaves a new window worth
    // opening: it then starts from the settings saved before, or defaults.
    saveSettings(currentSettingsPath().c_str(), true, p.settings, p.memory);
    // The command line is the quoted program name alone: no arguments, and a
    // folder with spaces is not mistaken for the start of a Find text.
    if (!exe.empty()) launcher().startProcess(exe.c_str(), ("\"" + exe + "\"").c_str());
}

void openPreviewedFile() {
    if (previewedPath().empty()) return launcher().beep(kSimpleBeep);
    launcher().shellOpen(previewedPath().c_str());
}

void openWithNotepad() {
    if (previewedPath().empty()) return launcher().beep(kSimpleBeep);
    launcher().startProcess(nullptr, notepadCommandLine(previewedPath()).c_str());
}

void openDocumentation() {
    const std::string exe = executablePath();
    launcher().shellOpen(documentationPath(exe).c_str());
}

}  // namespace tarvo
