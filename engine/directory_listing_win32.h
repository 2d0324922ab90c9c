// The Win32 listing's one rule, visible to its tests: which kind an entry
// is, from the attribute bits FindFirstFileExW / FindNextFileW report.
#pragma once

#include <cstdint>

#include "engine/directory_listing.h"

namespace tarvo {

// Directories are walked, reparse points among them as folder links (they
// can point back up the tree); everything else is a file.
EntryKind entryKindOf(uint32_t attributes);

}  // namespace tarvo
