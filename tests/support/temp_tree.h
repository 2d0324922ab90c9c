// A scratch tree, removed at the end; relative paths use '/', full ones the platform's, all UTF-8.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "engine/path_list.h"
#ifdef _WIN32
#include <windows.h>
#endif

namespace tarvo::testing {

// A UTF-8 path for the standard library: as char8_t it is read as UTF-8 on every platform.
inline std::filesystem::path fileSystemPath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

#ifdef _WIN32
// Removes `folder` ("\\?\C:\...") and all below it, a folder link as itself: remove_all asks
// the attributes of every long ordinary path, which under Wine now and then never returns.
inline void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
        const std::wstring name = entry.cFileName, path = folder + L"\\" + name;
        if (name == L"." || name == L"..") continue;
        const DWORD kind = entry.dwFileAttributes;
        if ((kind & FILE_ATTRIBUTE_DIRECTORY) && !(kind & FILE_ATTRIBUTE_REPARSE_POINT))
            removeTree(path);
        else if (kind & FILE_ATTRIBUTE_DIRECTORY)
            RemoveDirectoryW(path.c_str()) || DeleteFileW(path.c_str());  // Wine's: a Unix link
        else
            DeleteFileW(path.c_str());
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    RemoveDirectoryW(folder.c_str());
}
#endif

class TempTree {
public:
    TempTree() { std::filesystem::create_directories(root_); }
    ~TempTree() {
#ifdef _WIN32
        removeTree(L"\\\\?\\" + root_.wstring());
#else
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
#endif
    }
    std::string root() const {
        const std::u8string root = root_.u8string();
        return std::string(root.begin(), root.end());
    }
    std::string path(std::string_view relative) const {
        std::string result = root() + kPathSeparator;
        for (char c : relative)
            result += (c == '/') ? kPathSeparator : c;
        return result;
    }
    std::string write(std::string_view relative, std::string_view bytes) const {
        const std::string full = path(relative);
        std::filesystem::create_directories(fileSystemPath(full).parent_path());
        std::ofstream(fileSystemPath(full), std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return full;
    }
    std::string mkdir(std::string_view relative) const {
        std::filesystem::create_directories(fileSystemPath(path(relative)));
        return path(relative);
    }

private:
    const std::filesystem::path root_ = std::filesystem::temp_directory_path() /
                                        ("tarvo-test-" + std::to_string(std::random_device()()) +
                                         std::to_string(std::random_device()()));
};

// A whole file's bytes (empty when it cannot be read).
inline std::string readBytes(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(fileSystemPath(path), std::ios::binary).rdbuf();
    return bytes.str();
}

}  // namespace tarvo::testing
