// The folders and files the Path box offers while the entry after its last
// ";" is typed: the names in the folder that entry names so far which begin
// with what follows that folder's last separator.
//
//   "C:\src;D:\wo"    lists D:\ and offers D:\work and D:\world.txt,
//                     each to follow "C:\src;" in place of "D:\wo"
//   "C:\src;D:"       offers nothing: no folder named yet
//
// Portable: the listing is the walk's own, so the rule is tested natively
// on a real tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

struct FolderSuggestions {
    std::string kept;                  // the text before the entry being typed, as it stands
    std::vector<std::string> entries;  // what that entry may become, in listing order
};

class FolderSuggester {
public:
    // The suggestions for a Path text typed up to its end: none while its
    // last entry names no folder yet, or when no name there begins with
    // what was typed after the folder (letters A-Z in either case alike) and
    // goes on past it.
    FolderSuggestions suggest(std::string_view pathText);
    // The next suggestion lists its folder afresh: it may have changed.
    void forget() { listed_ = false; }

private:
    std::string folder_;              // the folder last listed, as typed, separator included
    std::vector<std::string> names_;  // its names, "." and ".." left out
    bool listed_ = false;
};

}  // namespace tarvo
