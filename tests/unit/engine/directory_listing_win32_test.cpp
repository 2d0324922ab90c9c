// The Win32 twin of the directory listing, run under Wine or Windows.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "engine/directory_listing_win32.h"
#include "support/temp_tree.h"

namespace tarvo {
namespace {

std::map<std::string, EntryKind> listAll(const std::string& path) {
    std::map<std::string, EntryKind> entries;
    DirectoryListing listing;
    if (!listing.open(path)) return entries;
    DirectoryEntry entry;
    while (listing.next(entry))
        entries[entry.name] = entry.kind;
    return entries;
}

TEST(DirectoryListingWin32, AttributesGiveTheKind) {
    struct Case {
        uint32_t attributes;
        EntryKind kind;
        const char* label;
    } cases[] = {{0x20, EntryKind::File, "archive file"},
                 {0x21, EntryKind::File, "read-only file"},
                 {0x22, EntryKind::File, "hidden dot-file"},
                 {0x10, EntryKind::Directory, "directory"},
                 {0x11, EntryKind::Directory, "unreadable directory (mode 000)"},
                 {0x410, EntryKind::Skipped, "directory link or junction"},
                 {0x420, EntryKind::File, "file link: read as the file it names"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(entryKindOf(c.attributes), c.kind);
    }
}

TEST(DirectoryListingWin32, KindsOfEntriesAndFailures) {
    testing::TempTree tree;
    tree.write("dir/file.txt", "x");
    tree.mkdir("dir/sub");
    std::error_code linkFailed;
    std::filesystem::create_directory_symlink(tree.path("dir/sub"), tree.path("dir/link"),
                                              linkFailed);
    auto entries = listAll(tree.path("dir"));
    EXPECT_EQ(entries["."], EntryKind::Directory);
    EXPECT_EQ(entries[".."], EntryKind::Directory);
    EXPECT_EQ(entries["file.txt"], EntryKind::File);
    EXPECT_EQ(entries["sub"], EntryKind::Directory);
    if (!linkFailed) {  // Wine cannot create links; Windows can with the right privilege
        SCOPED_TRACE("a directory link is a reparse point: never followed");
        EXPECT_EQ(entries["link"], EntryKind::Skipped);
    }
    {
        SCOPED_TRACE("a missing directory and a file cannot be listed");
        DirectoryListing listing;
        EXPECT_FALSE(listing.open(tree.path("missing")));
        EXPECT_FALSE(listing.open(tree.path("dir/file.txt")));
        DirectoryEntry entry;
        EXPECT_FALSE(listing.next(entry));
    }
    {
        SCOPED_TRACE("a listing can be reopened; a drive root lists");
        DirectoryListing listing;
        ASSERT_TRUE(listing.open(tree.path("dir/sub")));
        ASSERT_TRUE(listing.open("C:"));
        DirectoryEntry entry;
        EXPECT_TRUE(listing.next(entry));
    }
}

}  // namespace
}  // namespace tarvo
#endif
