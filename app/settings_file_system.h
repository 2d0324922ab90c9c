// What the settings file needs of the operating system: to tell a regular
// file from anything else, and to replace a file whole. Implemented with
// POSIX calls and with the wide Win32 calls (settings_file_posix.cpp,
// settings_file_win32.cpp); the temporary file's name is portable
// (settings_file.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

// What stands at a path, links followed. Anything but Regular is never read.
enum class SettingsFileKind { Missing, Regular, Other };
SettingsFileKind settingsFileKind(const char* path);

// A new version of a file, written to a temporary file beside it and renamed
// over it only when whole and flushed to the disk. Saves running at the same
// time each write their own temporary file; the last rename wins.
class FileReplacement {
public:
    FileReplacement() = default;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();  // removes the temporary file unless it was committed

    // Follows links from `path` to the file to replace, refuses anything but
    // a regular file the user may write (or none), and creates the temporary
    // file, exclusively, with the old file's mode.
    bool open(const char* path);
    bool write(const char* data, size_t size);
    // Flushes and closes the temporary file, renames it over the file and
    // flushes the folder; then removes leftovers of saves killed earlier.
    bool commit();

    // Why the last step failed.
    const std::string& reason() const { return reason_; }

private:
    bool fail();                      // takes the system's last error as the reason
    bool refuse(const char* reason);  // a reason of our own
    void removeLeftovers() const;

    std::string target_;    // the file replaced, links followed
    std::string temp_;      // the temporary file while it exists
    intptr_t handle_ = -1;  // a file descriptor, or a HANDLE; -1 when closed
    std::string reason_;
};

// A temporary file's path for `target`: beside it, named after it, unique to
// this process and unpredictable: "<target>.tmp-<process id>-<16 hex digits>".
std::string temporaryPathFor(const std::string& target, uint32_t processId);

// Whether the folder entry `name` has the form temporaryPathFor gives for a
// file named `targetName`.
bool isTemporaryNameOf(std::string_view targetName, std::string_view name);

// A temporary file this old belongs to a save that was killed: a live save
// finishes long before.
inline constexpr int64_t kLeftoverAgeSeconds = 60;

}  // namespace tarvo
