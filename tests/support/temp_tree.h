// A scratch directory tree under the system temp folder, removed when the
// test ends. Paths are joined with the platform separator, as the walk does.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "engine/path_list.h"

namespace tarvo::testing {

class TempTree {
public:
    TempTree() {
        std::random_device seed;
        root_ = std::filesystem::temp_directory_path() /
                ("tarvo-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(root_);
    }
    ~TempTree() {
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root as the walk would print it.
    std::string root() const { return root_.string(); }

    // `relative` uses '/'; the result is the root, the separator and the
    // relative path with the platform separator.
    std::string path(std::string_view relative) const {
        std::string result = root() + kPathSeparator;
        for (char c : relative) result += (c == '/') ? kPathSeparator : c;
        return result;
    }

    std::string write(std::string_view relative, std::string_view bytes) const {
        std::string full = path(relative);
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream out(full, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return full;
    }

    std::string mkdir(std::string_view relative) const {
        std::string full = path(relative);
        std::filesystem::create_directories(full);
        return full;
    }

private:
    std::filesystem::path root_;
};

}  // namespace tarvo::testing
