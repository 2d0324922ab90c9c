#include "shell/launching_win32.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "engine/system_path.h"
#include "engine/system_path_win32.h"
#include "shell/editor_win32.h"
#include "shell/launching.h"
#include "shell/open_decision.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"

namespace tarvo {

namespace {

void beepWithSystem(UINT type) {
    MessageBeep(type);
}

// The shell's calls stop at MAX_PATH even in the long form. A longer path
// is handed to them with its folders in their short (8.3) form, which names
// the same folders, and the file's own name, whose ending says its type;
// as it is where the volume keeps no short names or that is still too long.
std::wstring shellPath(const std::string& file) {
    const std::wstring path = widePath(file);
    const size_t name = file.find_last_of('\\');
    if (path.size() < kLongPathFrom || name == std::string::npos) return path;
    const std::wstring folder = widePath(file.substr(0, name));
    const std::string shortFolder = pathFromSystem([&](wchar_t* buffer, size_t size) {
        return GetShortPathNameW(folder.c_str(), buffer, static_cast<DWORD>(size));
    });
    const std::wstring shortened = wideText(ordinaryPath(shortFolder) + file.substr(name));
    return !shortFolder.empty() && shortened.size() < kLongPathFrom ? shortened : path;
}

// No parameters, directory "": what the system does when the user opens the
// file from the shell with that verb. The result is not looked at: a
// missing association is not reported.
void shellOpenWithSystem(const char* file, const char* verb) {
    ShellExecuteW(nullptr, verb ? wideText(verb).c_str() : nullptr, shellPath(file).c_str(),
                  nullptr, L"", SW_SHOW);
}

DWORD startProgramWithShell(const char* program, const char* arguments) {
    const std::wstring file = wideText(program), parameters = wideText(arguments);
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof run;
    // The caller reports a failure itself, once; the process is not waited for.
    run.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    run.lpFile = file.c_str();
    run.lpParameters = parameters.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&run)) return 0;
    const DWORD error = GetLastError();
    return error ? error : ERROR_FILE_NOT_FOUND;
}

const std::string& previewedPath(const Program& p) {
    return p.previewPane.document().currentPath();
}

// The command line a verb of the type runs, as the shell would run it for a
// file of that type, its environment variables expanded as the shell
// expands them; empty when the type has no such verb.
std::string verbCommand(const std::string& extension, const wchar_t* verb) {
    wchar_t command[4096];
    DWORD size = std::size(command);
    // The catch-all "Unknown" type is not the file's own association.
    const ASSOCF flags = ASSOCF_NOTRUNCATE | ASSOCF_INIT_IGNOREUNKNOWN;
    if (FAILED(AssocQueryStringW(flags, ASSOCSTR_COMMAND, wideText(extension).c_str(), verb,
                                 command, &size)))
        return {};
    wchar_t expanded[4096];
    const DWORD length = ExpandEnvironmentStringsW(command, expanded, std::size(expanded));
    return utf8Of(length > 0 && length <= std::size(expanded) ? expanded : command);
}

FileTypeFacts fileTypeFacts(const std::string& path) {
    FileTypeFacts facts;
    facts.extension = fileExtension(path);
    if (facts.extension.empty()) return facts;
    facts.dangerous = AssocIsDangerous(wideText(facts.extension).c_str());
    facts.openCommand = verbCommand(facts.extension, nullptr);
    facts.editCommand = verbCommand(facts.extension, L"edit");
    return facts;
}

// The selected result's line when it is in the previewed file; line 1
// otherwise.
int32_t previewedLine(Program& p, const std::string& path) {
    const ResultEntry* selected = selectedResult(p);
    return selected && selected->path == path ? std::max(selected->lineNumber, 1) : 1;
}

// The guide built into the program's resources, written whole over the
// file; a file cut short is removed rather than opened.
bool writeBuiltInGuide(const std::string& path) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_USER_GUIDE), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return false;
    const DWORD size = SizeofResource(nullptr, found);
    HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (!whole) DeleteFileW(widePath(path).c_str());
    return whole;
}

}  // namespace

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Launcher& launcher() {
    static Launcher instance{beepWithSystem, startDetachedProcess, shellOpenWithSystem,
                             startProgramWithShell};
    return instance;
}

bool startDetachedProcess(const char* application, const char* commandLine) {
    // CreateProcessW may write into the command line: it gets a copy.
    std::wstring line = wideText(commandLine ? commandLine : "");
    const std::wstring program = application ? widePath(application) : std::wstring();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(application ? program.c_str() : nullptr,
                        line.empty() ? nullptr : line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started))
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
    return userGuide(exe, isFile(documentationPath(exe)), temporaryFolder());
}

void openDocumentation() {
    const UserGuide guide = findUserGuide();
    // A copy that cannot be written is not opened: Help then does nothing,
    // as a launch that fails does.
    if (guide.builtIn && !writeBuiltInGuide(guide.path)) return;
    launcher().shellOpen(guide.path.c_str(), nullptr);
}

}  // namespace tarvo
