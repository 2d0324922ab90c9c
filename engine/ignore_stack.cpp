#include "engine/ignore_stack.h"

#include <algorithm>

#include "engine/directory_listing.h"
#include "engine/git_paths.h"
#include "engine/path_list.h"
#include "engine/scan_file_reader.h"

namespace tarvo {

namespace {

bool isSeparator(char c) {
    return c == kPathSeparator || c == '/';
}

// The folder holding `path`, by its text: false at the top of the file
// system. On Windows neither a drive's folder nor a share's name has one
// ("C:" and "\\server" end the way up).
bool parentFolder(const std::string& path, std::string& parent) {
    const auto last = std::find_if(path.rbegin(), path.rend(), isSeparator);
    if (last == path.rend()) return false;
    parent = path.substr(0, static_cast<size_t>(path.rend() - last - 1));
#ifdef _WIN32
    if (parent.empty() || std::all_of(parent.begin(), parent.end(), isSeparator)) return false;
#endif
    return true;
}

std::string lastName(const std::string& path) {
    const auto last = std::find_if(path.rbegin(), path.rend(), isSeparator);
    return std::string(last.base(), path.end());
}

// A ".git" folder, or a ".git" file that leads to one.
bool holdsGit(const std::string& folder) {
    const std::string git = folder + kPathSeparator + ".git";
    DirectoryListing listing;
    ScanFileReader file;
    return listing.open(git) || file.open(git.c_str());
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

}  // namespace

IgnoreStack::IgnoreStack(bool foldCase) : foldCase_(foldCase) {}

void IgnoreStack::startSearch() {
    levels_.clear();
    rootLevel_ = 0;
    read_.clear();
    global_ = nullptr;
    globalRead_ = false;
}

bool IgnoreStack::sameName(std::string_view a, std::string_view b) const {
    if (!foldCase_) return a == b;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

const IgnoreRules* IgnoreStack::rulesAt(const std::string& path, intptr_t folder,
                                        const char* name) {
    auto [it, added] = read_.try_emplace(path);
    std::string text;
    if (added && readRuleFile(path, text, folder, name))
        it->second = std::make_unique<const IgnoreRules>(text, foldCase_);
    return it->second && !it->second->empty() ? it->second.get() : nullptr;
}

// The top of a work tree: its info/exclude, and the user's global excludes
// once a search first meets a work tree.
IgnoreStack::Level IgnoreStack::topLevel(const std::string& path) {
    if (!globalRead_) {
        globalRead_ = true;
        const std::string global = globalExcludesPath();
        if (!global.empty()) global_ = rulesAt(global);
    }
    Level level;
    level.top = static_cast<int>(levels_.size());
    level.info = rulesAt(infoExcludePath(path));
    return level;
}

void IgnoreStack::findTreeAbove(const std::string& root) {
    // The way up is taken from the root's real path on POSIX, so a relative
    // root or one reached through links finds the work tree Git would find
    // from inside it; Windows takes the root as written.
    std::string folder = root;
#ifndef _WIN32
    if (!realFolderPath(root, folder)) return;
#endif
    rootName_ = lastName(folder);
    if (isGitName(rootName_)) return;
    std::vector<std::string> below;  // the folders from the root's parent up
    for (std::string parent; parentFolder(folder, parent); folder = parent) {
        if (isGitName(lastName(parent))) return;
        if (!holdsGit(parent)) {
            below.push_back(parent);
            continue;
        }
        levels_.push_back(topLevel(parent));
        levels_.back().rules = rulesAt(parent + kPathSeparator + ".gitignore");
        for (auto down = below.rbegin(); down != below.rend(); ++down) {
            Level level;
            level.top = levels_.back().top;
            level.relative = levels_.back().relative + lastName(*down) + '/';
            level.rules = rulesAt(*down + kPathSeparator + ".gitignore");
            levels_.push_back(std::move(level));
        }
        return;
    }
}

void IgnoreStack::enterFolder(const std::string& path, int depth, bool holdsGit,
                              const char* rulesName, intptr_t folder) {
    if (depth == 0) {
        levels_.clear();
        if (!holdsGit) findTreeAbove(path);
        rootLevel_ = levels_.size();
    }
    levels_.resize(rootLevel_ + static_cast<size_t>(depth));
    Level level;
    if (holdsGit) {
        level = topLevel(path);
    } else if (!levels_.empty() && levels_.back().top >= 0) {
        level.top = levels_.back().top;
        level.relative = levels_.back().relative + (depth == 0 ? rootName_ : lastName(path)) + '/';
    }
    if (level.top >= 0 && rulesName != nullptr)
        level.rules = rulesAt(path + kPathSeparator + rulesName, folder, rulesName);
    levels_.push_back(std::move(level));
}

bool IgnoreStack::ignoresBelow(const std::string& root, std::string_view below) {
    std::string folder = root;
    int depth = 0;
    enterFolder(folder, depth, holdsGit(folder), ".gitignore", -1);
    for (;;) {
        const size_t end = below.find(kPathSeparator);
        const std::string_view name = below.substr(0, end);
        const bool isDirectory = end != std::string_view::npos;
        if (inWorkTree(depth) && (isGitName(name) || ignores(depth, name, isDirectory)))
            return true;
        if (!isDirectory) return false;
        folder.append(1, kPathSeparator).append(name);
        below.remove_prefix(end + 1);
        enterFolder(folder, ++depth, holdsGit(folder), ".gitignore", -1);
    }
}

bool IgnoreStack::inWorkTree(int depth) const {
    const size_t at = rootLevel_ + static_cast<size_t>(depth);
    return at < levels_.size() && levels_[at].top >= 0;
}

bool IgnoreStack::ignores(int depth, std::string_view name, bool isDirectory) const {
    if (!inWorkTree(depth)) return false;
    const size_t at = rootLevel_ + static_cast<size_t>(depth);
    const Level& folder = levels_[at];
    path_.assign(folder.relative).append(name);
    const std::string_view path = path_;
    const size_t top = static_cast<size_t>(folder.top);
    for (size_t i = at + 1; i-- > top;) {
        const Level& level = levels_[i];
        if (level.rules == nullptr) continue;
        const std::string_view below = path.substr(level.relative.size());
        const IgnoreVerdict verdict =
            level.rules->verdict(below, below.size() - name.size(), isDirectory);
        if (verdict != IgnoreVerdict::None) return verdict == IgnoreVerdict::Ignored;
    }
    for (const IgnoreRules* rules : {levels_[top].info, global_}) {
        if (rules == nullptr) continue;
        const IgnoreVerdict verdict = rules->verdict(path, path.size() - name.size(), isDirectory);
        if (verdict != IgnoreVerdict::None) return verdict == IgnoreVerdict::Ignored;
    }
    return false;
}

}  // namespace tarvo
