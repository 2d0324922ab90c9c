// Where Git keeps the rule files of Skip Ignored Files beside the
// .gitignore files of a work tree: the work tree's info/exclude and the
// user's global excludes file. Every file is read through the scanner's
// reader, so no file call of its own meets the operating system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// A rule file (or Git's configuration) larger than this is read up to here,
// its cut last line left out: enough for any real file, and a planted
// huge or endless one costs no more.
inline constexpr size_t kMaxRuleFileBytes = 1 << 20;

// Up to kMaxRuleFileBytes of the file, as text (see ScanFileReader), without
// a last line the limit cut; false when it cannot be opened as a regular
// file. `folder` and `name` as for ScanFileReader::open.
bool readRuleFile(const std::string& path, std::string& text, intptr_t folder = -1,
                  const char* name = nullptr);

// The value of core.excludesFile in the text of a Git configuration file,
// the last one given; nothing when it is not set there.
std::optional<std::string> excludesFileSetting(std::string_view config);

// The user's global excludes file: core.excludesFile from the user's Git
// configuration ($XDG_CONFIG_HOME/git/config, then ~/.gitconfig, the later
// winning; "~/" at its start meaning the home folder), else
// $XDG_CONFIG_HOME/git/ignore, else ~/.config/git/ignore. The home folder is
// $HOME, and %USERPROFILE% on Windows. Empty when there is no home folder.
std::string globalExcludesPath();

// The info/exclude file of the work tree whose top is `top`: in its .git
// folder, or where a .git file ("gitdir: PATH", as linked work trees and
// submodules have) leads, in the common folder a linked work tree's
// "commondir" names.
std::string infoExcludePath(const std::string& top);

}  // namespace tarvo
