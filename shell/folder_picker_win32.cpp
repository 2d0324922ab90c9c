#include "shell/folder_picker_win32.h"

#include <windows.h>

#include <ole2.h>
#include <shobjidl.h>

#include <optional>
#include <string>
#include <string_view>

#include "engine/system_path_win32.h"
#include "shell/edit_box_win32.h"
#include "shell/launching_win32.h"
#include "shell/path_entries.h"
#include "shell/program_win32.h"

namespace tarvo {

namespace {

constexpr const wchar_t* kBrowseTitle = L"Browse for Folder";
constexpr const wchar_t* kAddTitle = L"Add Folder to Path";

// The folder `entry` names (a file's own folder for a file), made full
// against the current folder as the search reads it; null when it names
// nothing the shell knows.
IShellItem* startFolder(std::string_view entry) {
    if (entry.empty()) return nullptr;
    const std::wstring typed = wideText(entry);
    const std::string full = pathFromSystem([&](wchar_t* buffer, size_t size) {
        return GetFullPathNameW(typed.c_str(), static_cast<DWORD>(size), buffer, nullptr);
    });
    IShellItem* item = nullptr;
    if (full.empty() ||
        FAILED(SHCreateItemFromParsingName(wideText(full).c_str(), nullptr, IID_PPV_ARGS(&item))))
        return nullptr;
    SFGAOF attributes = 0;
    item->GetAttributes(SFGAO_FOLDER, &attributes);
    if (attributes & SFGAO_FOLDER) return item;
    IShellItem* parent = nullptr;
    item->GetParent(&parent);
    item->Release();
    return parent;
}

// The folder the user chose; nothing when the picker was cancelled or
// could not be shown.
std::optional<std::string> showPicker(HWND owner, std::string_view entry, bool append) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog))))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // The current folder stays: relative Path entries are read against it.
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR);
    dialog->SetTitle(append ? kAddTitle : kBrowseTitle);
    if (IShellItem* start = startFolder(entry)) {
        dialog->SetFolder(start);
        start->Release();
    }
    std::optional<std::string> chosen;
    IShellItem* result = nullptr;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&result))) {
        wchar_t* path = nullptr;
        if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            // Wine hands back a name typed as "." or ".." as it was typed
            // ("C:\src\."): made full, the Path names the folder as the walk
            // and the remembered files name it.
            const std::string full = pathFromSystem([&](wchar_t* buffer, size_t size) {
                return GetFullPathNameW(path, static_cast<DWORD>(size), buffer, nullptr);
            });
            chosen = full.empty() ? utf8Of(path) : full;
            CoTaskMemFree(path);
        }
        result->Release();
    }
    dialog->Release();
    return chosen;
}

// The picker is a shell object: COM (with OLE, for dragging into it) on this
// thread while it is open.
std::optional<std::string> pickFolder(HWND owner, std::string_view entry, bool append) {
    const HRESULT ole = OleInitialize(nullptr);
    std::optional<std::string> chosen = showPicker(owner, entry, append);
    if (SUCCEEDED(ole)) OleUninitialize();
    return chosen;
}

}  // namespace

void browseForFolder(Program& p, bool append) {
    append = append || GetKeyState(VK_SHIFT) < 0;
    HWND box = p.windows.pathBox;
    const std::string text = readBox(box);
    const std::optional<std::string> folder =
        pickFolder(p.windows.main, lastPathEntry(text), append);
    if (!folder) return;
    const std::optional<std::string> path = pathWithFolder(text, *folder, append);
    // The folder does not fit after the text: adding it cut would name another.
    if (!path) return launcher().beep(kSimpleBeep);
    SetWindowTextW(box, wideText(*path).c_str());
    focusAtEnd(box);
}

}  // namespace tarvo
