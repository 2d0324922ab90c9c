// Skip Ignored Files, told to the walk one folder at a time: for each
// folder being listed, whether it lies in a Git work tree and which of its
// entries Git would ignore.
//
// A work tree's top is the nearest folder at or above a folder that holds
// ".git" (a folder, or a file as linked work trees and submodules have). A
// folder below a root that holds one starts a work tree of its own, with
// only its own rules, as Git sees a repository inside another. A root inside
// a ".git" folder lies in no work tree. Git's rules, asked in this order,
// the first file with a matching rule deciding (its last matching rule):
//   1. the .gitignore of the entry's folder, then of each folder above it up
//      to the top (a deeper file overrides a shallower one);
//   2. the work tree's info/exclude;
//   3. the user's global excludes file (see globalExcludesPath).
// An ignored folder is not entered, so nothing below it can be re-included,
// as in Git. A root is always searched, ignored or not: the user named it.
//
// The levels: one per folder from the top of the root's work tree down to
// the folder being listed; those above the root are read when the root is
// entered, the others from the listings the walk makes anyway (each folder's
// .gitignore is found there, so a folder without one costs nothing). Each
// rule file is read at most once per search.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/ignore_rules.h"

namespace tarvo {

class IgnoreStack {
public:
    // `foldCase`: names and rules compare without letter case.
    explicit IgnoreStack(bool foldCase);

    // Forgets the rule files read: a new search reads them as they are now.
    void startSearch();

    // The walk lists the folder `path` at `depth` (a root at 0). `holdsGit`:
    // its listing holds ".git"; `rulesName`: the name its listing gives the
    // .gitignore file, or null; `folder`: the open listing, for opening it
    // (see ScanFileReader::open). The levels deeper than `depth` are left.
    void enterFolder(const std::string& path, int depth, bool holdsGit, const char* rulesName,
                     intptr_t folder);

    // Whether the folder at `depth` lies in a work tree: outside one nothing
    // is ignored; inside one ".git" itself never is searched.
    bool inWorkTree(int depth) const;
    // Whether Git ignores the entry `name` of the folder at `depth`.
    bool ignores(int depth, std::string_view name, bool isDirectory) const;

    // Whether the walk from `root` would leave out the file at `below` (its
    // path under the root, separated as the walk separates it): a folder on
    // the way or the file itself ignored, or ".git" on the way. For a file
    // the walk did not list, as the remembered-files pass reads: each folder
    // on the way is looked up instead of listed. Leaves the levels of the
    // last folder on the way.
    bool ignoresBelow(const std::string& root, std::string_view below);

    // The names the walk looks for in a listing, compared as the file system
    // compares names.
    bool isGitName(std::string_view name) const { return sameName(name, ".git"); }
    bool isRulesName(std::string_view name) const { return sameName(name, ".gitignore"); }

private:
    struct Level {
        std::string relative;  // from the top of its work tree, ending in '/'; "" at the top
        const IgnoreRules* rules = nullptr;  // its .gitignore, when it has rules
        int top = -1;                        // the level of its work tree's top; -1 in none
        const IgnoreRules* info = nullptr;   // at a top: its info/exclude
    };

    bool sameName(std::string_view a, std::string_view b) const;
    // The rules of the file at `path`, read once per search; null when it
    // cannot be read or holds no rule.
    const IgnoreRules* rulesAt(const std::string& path, intptr_t folder = -1,
                               const char* name = nullptr);
    // Looks for the work tree above a root that holds no ".git" and, when
    // there is one, puts the levels from its top down to the root's parent.
    void findTreeAbove(const std::string& root);
    Level topLevel(const std::string& path);

    bool foldCase_;
    std::vector<Level> levels_;  // those above the root first
    size_t rootLevel_ = 0;       // where depth 0 stands in levels_
    std::string rootName_;       // the root's name, as its work tree names it
    std::unordered_map<std::string, std::unique_ptr<const IgnoreRules>> read_;  // by path
    const IgnoreRules* global_ = nullptr;
    bool globalRead_ = false;
    mutable std::string path_;  // the entry being asked about, from its top
};

}  // namespace tarvo
