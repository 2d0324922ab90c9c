// What the search options say about a file's path or a folder's name,
// Git's rules apart (see IgnoreStack): the exclusion list, Only File Types
// and Skip Folders. The walk asks before it reads a file or enters a folder,
// the remembered-files pass before it reads a file, so both read the same.
#pragma once

#include <string_view>

#include "engine/search_request.h"

namespace tarvo {

// Only File Types: true when the ';'-separated list names no ending, or the
// path ends with one of them, byte for byte as the exclusion list tests; an
// item written "*.c" means ".c". Items are not trimmed.
bool includesFileType(std::string_view path, std::string_view list);

// Skip Folders: whether the folder's own name is one of the ';'-separated
// names, letter case ignored where the file system ignores it.
bool isSkippedFolder(std::string_view name, std::string_view list);

// The exclusion list and Only File Types together: whether a search reads
// the file at `path`.
bool readsFileOfType(const SearchRequest& request, std::string_view path);

}  // namespace tarvo
