#include "shell/launching_win32.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "engine/text_encoding.h"
#include "shell/editor_win32.h"
#include "shell/launching.h"
#include "shell/open_decision.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"
#include "view/wide_text.h"

namespace tarvo {

namespace {

void beepWithSystem(UINT type) {
    MessageBeep(type);
}

// No parameters, directory "": what the system does when the user opens the
// file from the shell with that verb. The result is not looked at: a
// missing association is not reported.
void shellOpenWithSystem(const char* file, const char* verb) {
    ShellExecuteA(nullptr, verb, file, nullptr, "", SW_SHOW);
}

DWORD startProgramWithShell(const char* program, const char* arguments) {
    SHELLEXECUTEINFOA run = {};
    run.cbSize = sizeof run;
    // The caller reports a failure itself, once; the process is not waited for.
    run.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    run.lpFile = program;
    run.lpParameters = arguments;
    run.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&run)) return 0;
    const DWORD error = GetLastError();
    return error ? error : ERROR_FILE_NOT_FOUND;
}

std::string executablePath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A path cut at MAX_PATH names some other file: start nothing.
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(path, length);
}

const std::string& previewedPath(const Program& p) {
    return p.previewPane.document().currentPath();
}

// The system's UTF-16 text as the program's UTF-8.
std::string fromWide(const WCHAR* text) {
    return utf16ToUtf8({reinterpret_cast<const char*>(text), 2 * wcslen(text)}, false);
}

// The command line a verb of the type runs, as the shell would run it for a
// file of that type, its environment variables expanded as the shell
// expands them; empty when the type has no such verb.
std::string verbCommand(const std::u16string& extension, const WCHAR* verb) {
    WCHAR command[4096];
    DWORD size = std::size(command);
    // The catch-all "Unknown" type is not the file's own association.
    const ASSOCF flags = ASSOCF_NOTRUNCATE | ASSOCF_INIT_IGNOREUNKNOWN;
    const auto* type = reinterpret_cast<const WCHAR*>(extension.c_str());
    if (FAILED(AssocQueryStringW(flags, ASSOCSTR_COMMAND, type, verb, command, &size))) return {};
    WCHAR expanded[4096];
    const DWORD length = ExpandEnvironmentStringsW(command, expanded, std::size(expanded));
    return fromWide(length > 0 && length <= std::size(expanded) ? expanded : command);
}

FileTypeFacts fileTypeFacts(const std::string& path) {
    FileTypeFacts facts;
    facts.extension = fileExtension(path);
    if (facts.extension.empty()) return facts;
    const std::u16string extension = toUtf16(facts.extension);
    facts.dangerous = AssocIsDangerous(reinterpret_cast<const WCHAR*>(extension.c_str()));
    facts.openCommand = verbCommand(extension, nullptr);
    facts.editCommand = verbCommand(extension, L"edit");
    return facts;
}

// The selected result's line when it is in the previewed file; line 1
// otherwise.
int32_t previewedLine(Program& p, const std::string& path) {
    const ResultEntry* selected = selectedResult(p);
    return selected && selected->path == path ? std::max(selected->lineNumber, 1) : 1;
}

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The guide built into the program's resources, written whole over the
// file; a file cut short is removed rather than opened.
bool writeBuiltInGuide(const std::string& path) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_USER_GUIDE), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return false;
    const DWORD size = SizeofResource(nullptr, found);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (!whole) DeleteFileA(path.c_str());
    return whole;
}

}  // namespace

Launcher& launcher() {
    static Launcher instance{beepWithSystem, startDetachedProcess, shellOpenWithSystem,
                             startProgramWithShell};
    return instance;
}

bool startDetachedProcess(const char* application, const char* commandLine) {
    // CreateProcessW may write into the command line: it gets a copy.
    std::u16string line = toUtf16(commandLine ? commandLine : "");
    const std::u16string program = toUtf16(application ? application : "");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(application ? reinterpret_cast<const WCHAR*>(program.c_str()) : nullptr,
                        line.empty() ? nullptr : reinterpret_cast<WCHAR*>(line.data()), nullptr,
                        nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    // Not waited for: the handles are only closed, the process lives on.
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

void openNewWindow(Program& p) {
    const std::string exe = executablePath();
    p.settings.sortMode = p.results.sortMode();
    // A file that cannot be written still leaves a new window worth
    // opening: it then starts from the settings saved before, or defaults.
    saveSettings(currentSettingsPath(p).c_str(), true, p.settings, p.memory);
    // The command line is the quoted program name alone: no arguments, and a
    // folder with spaces is not mistaken for the start of a Find text.
    if (!exe.empty()) launcher().startProcess(exe.c_str(), ("\"" + exe + "\"").c_str());
}

void openPreviewedFile(Program& p) {
    const std::string path = previewedPath(p);
    if (path.empty()) return launcher().beep(kSimpleBeep);
    const std::string& editor = p.settings.editorCommand;
    FileTypeFacts facts = fileTypeFacts(path);
    OpenAction action = chooseOpenAction(facts, !editor.empty());
    if (action == OpenAction::EditVerb) {
        // Started here, not through the shell with the verb: a shell may run
        // a script whatever verb it is asked for (Wine's runs .bat and .cmd).
        if (launcher().startProcess(nullptr, verbCommandLine(facts.editCommand, path).c_str()))
            return;
        // An edit program that cannot be started: shown as by a type without one.
        facts.editCommand.clear();
        action = chooseOpenAction(facts, !editor.empty());
    }
    switch (action) {
        case OpenAction::DefaultVerb:
            return launcher().shellOpen(path.c_str(), nullptr);
        case OpenAction::EditVerb:  // cleared above
            return;
        case OpenAction::Editor:
            startEditor(p, editor, path, previewedLine(p, path));
            return;
        case OpenAction::Notepad:
            return openWithNotepad(p);
    }
}

void openWithNotepad(const Program& p) {
    if (previewedPath(p).empty()) return launcher().beep(kSimpleBeep);
    launcher().startProcess(nullptr, notepadCommandLine(previewedPath(p)).c_str());
}

UserGuide findUserGuide() {
    const std::string exe = executablePath();
    char temp[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    const std::string_view folder(temp, (length > 0 && length < sizeof temp) ? length : 0);
    return userGuide(exe, isFile(documentationPath(exe)), folder);
}

void openDocumentation() {
    const UserGuide guide = findUserGuide();
    // A copy that cannot be written is not opened: Help then does nothing,
    // as a launch that fails does.
    if (guide.builtIn && !writeBuiltInGuide(guide.path)) return;
    launcher().shellOpen(guide.path.c_str(), nullptr);
}

}  // namespace tarvo
