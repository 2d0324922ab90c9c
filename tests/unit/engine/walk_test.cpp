// Runs and walks over trees built to hurt: they end, read regular files, report unopened roots.
#include <condition_variable>
#include <mutex>
#include "engine_test.h"
#include "support/repeated.h"
#ifdef _WIN32
#include <windows.h>
#include <algorithm>
#include "engine/directory_listing_win32.h"
#include "engine/system_path_win32.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
class WalkTest : public testing::EngineTest {};

TEST_F(WalkTest, WhatTheWalkReadsAndReports) {
    tree.write("outer.txt", "o");
    const std::string root = tree.mkdir("root");
    const std::string a = tree.write("root/a.txt", "a");
    const std::string b = tree.write("root/sub/b.c", "b");
    const std::string c = tree.write("root/sub/deeper/c.txt", "c");
    EXPECT_EQ(walk(root), (Paths{a, b, c})) << "recursive, and never up through ..";
    // More entries than one read of a listing (32 KiB) takes: the read-ahead loses none.
    Paths many;
    for (int i = 0; i < 2000; ++i) {
        many.insert(tree.write("many/f" + std::to_string(i), "x"));
        if (i % 50 == 0) many.insert(tree.write("many/d" + std::to_string(i) + "/g", "x"));
    }
    EXPECT_EQ(walk(tree.path("many")), many);
    Paths flat;  // files only: the count alone lets the listing go on
    for (int i = 0; i < 40; ++i)
        flat.insert(tree.write("flat/f" + std::to_string(i), "x"));
    EXPECT_EQ(walk(tree.path("flat")), flat);
    EXPECT_EQ(walk(b), (Paths{b})) << "a root naming a file";
    request.excludeList = ".c";
    EXPECT_EQ(walk(root), (Paths{a, c}));
    EXPECT_EQ(walk(b), Paths{});
    request.options.recursive = false;
    EXPECT_EQ(walk(root), (Paths{a}));
    // Read below a root: paths of 259-261, 300, 600 characters; non-Latin names (code page 1252).
    const std::string dir(249 - tree.root().size() - 1, 'd');  // 249 characters with the root
    const std::string names = "\xd0\x96\xd0\xb0\xd0\xbd\xd1\x80/\xe6\x97\xa5\xe6\x9c\xac.txt";
    const Paths deep = {
        tree.write(dir + "/abcdefghi", "x"),
        tree.write(dir + "/abcdefghij", "x"),
        tree.write(dir + "/abcdefghijk", "x"),
        tree.write(dir + "/" + std::string(48, 'e') + "/f", "x"),
        tree.write(dir + "/" + std::string(200, 'g') + "/" + std::string(147, 'h') + "/f", "x"),
        tree.write(dir + "/" + names, "x")};
    request.options.recursive = true;
    EXPECT_EQ(walk(tree.path(dir)), deep);
    EXPECT_EQ(searchRun.stats().pathsTooLong, 0);
    EXPECT_TRUE(host.errors.empty());
    // A root is held to 260 characters, not bytes: 200 Cyrillic letters are 400 bytes.
    const std::string cyrillic = testing::repeated(200, "\xd0\x96");
    for (const std::string& missing : {std::string("missing"), std::string(300, 'x'), cyrillic})
        walk(tree.path(missing));
    EXPECT_EQ(host.errors, (Strings{"Error: can't open directory " + tree.path("missing"),
                                    "Error: the path is longer than 260 characters: " +
                                        tree.path(std::string(300, 'x')),
                                    "Error: can't open directory " + tree.path(cyrillic)}));
    EXPECT_EQ(searchRun.stats().pathsTooLong, 0) << "a root is reported, not counted";
}

TEST_F(WalkTest, RunsWalkEveryRootAndCreditTheResults) {
    const std::string root = tree.mkdir("root");
    tree.write("root/best.c", "int needle(void);\n");
    tree.write("root/other.txt", "x = needle;\n");
    const std::string missing = tree.path("missing");
    request.findText = "needle";
    request.pathText = missing + ";" + root + ";" + root;  // the same root twice
    results.addResult(5, "stale", 1, "from the last run");
    searchRun.runSearch();
    EXPECT_EQ(host.errors, (Strings{"Error: can't open directory " + missing}));
    ASSERT_EQ(results.count(), 2) << "the old results were cleared; each file read once";
    // Remembered files are read first; a stop after the first still credits it.
    const std::string remembered = tree.write("root/remembered.txt", "needle\n");
    memory.clear();
    memory.add(remembered.c_str(), 500);
    request.pathText = root + ";" + missing;
    host.stopAtPump = host.pumpCalls + 2;
    searchRun.runSearch();
    ASSERT_EQ(results.count(), 1);
    EXPECT_EQ(memory.entry(memory.find(remembered.c_str())).priority, 1000);
    EXPECT_EQ(searchRun.stats().files, 1) << "counters start from zero";
    EXPECT_EQ(host.errors.size(), 1u) << "a stopped run does not report later roots";
    // A Path that names nothing searches nothing, not even the remembered files, and says so.
    request.pathText = " ; ;";
    host.state = RunState::Running;
    searchRun.runSearch();
    EXPECT_EQ(host.errors.back(), "Error: the Path names no folder or file to search");
    EXPECT_EQ(std::make_tuple(searchRun.stats().files, results.count()), std::make_tuple(0, 0));
}

// A file met again (remembered, or under another root) while its held scan is in flight: read once.
TEST_F(WalkTest, AFileMetAgainInFlightIsReadOnce) {
    const std::string root = tree.mkdir("flight");
    constexpr int kFiles = 12;
    for (int i = 0; i < kFiles; ++i)
        tree.write("flight/f" + std::to_string(i) + ".txt", "needle\n");
    const std::string twice = tree.path("flight/f5.txt");
    request.findText = "needle";
    const std::pair<int32_t, bool> rows[] = {{2, true}, {8, true}, {2, false}, {8, false}};
    for (const auto& [threads, remembered] : rows) {
        SCOPED_TRACE(::testing::Message()
                     << threads << " scanners, " << (remembered ? "remembered" : "a second root"));
        testing::TestHost held;
        FileMemory memory;
        testing::CollectingSink sink;
        std::mutex mutex;
        std::condition_variable handedOut;
        bool allHandedOut = false;
        held.onPump = [&](int calls) {
            if (calls < kFiles + 1) return;
            std::lock_guard lock(mutex);
            allHandedOut = true;
            handedOut.notify_all();
        };
        held.onScanBegins = [&](const char* path) {
            if (path != twice) return;
            std::unique_lock lock(mutex);
            EXPECT_TRUE(
                handedOut.wait_for(lock, std::chrono::seconds(20), [&] { return allHandedOut; }));
        };
        if (remembered) memory.add(twice.c_str(), 500);
        request.pathText = remembered ? root : root + ";" + twice;
        SearchRun run{held, request, memory, sink, threads};
        run.runSearch();
        int32_t twiceListed = 0;
        for (int32_t i = 0; i < sink.count(); ++i)
            twiceListed += sink.rankEntry(i).path == twice ? 1 : 0;
        EXPECT_EQ(
            std::make_tuple(twiceListed, sink.count(), run.stats().files, run.stats().matches),
            std::make_tuple(1, kFiles, int64_t{kFiles}, int64_t{kFiles}));
    }
}

// File Types, exclusions and Skip Folders leave out (and count) files and folders, never a root.
TEST_F(WalkTest, FiltersLeaveOutFilesAndFoldersAndCountThem) {
    const std::string root = tree.mkdir("root");
    const std::string a = tree.write("root/a.c", "needle");
    const std::string b = tree.write("root/b.h", "needle");
    const std::string c = tree.write("root/c.txt", "needle");
    const std::string x = tree.write("root/node_modules/x.c", "needle");
    const std::string y = tree.write("root/sub/obj/y.c", "needle");
    const std::string z = tree.write("root/sub/z.c", "needle");
    // Folder names compare as the file system compares them.
    const Paths skippedObj = kFileNamesFoldCase ? Paths{a, b, c, z} : Paths{a, b, c, y, z};
    const std::tuple<std::string, std::string, std::string, Paths, int64_t> cases[] = {
        {"", ".c;*.h", "", Paths{a, b, x, y, z}, 1},
        {".h", "*.c;.h", "", Paths{a, x, y, z}, 2},
        {"", "*;;", "", Paths{a, b, c, x, y, z}, 0},
        {"", "", "node_modules;OBJ", skippedObj, kFileNamesFoldCase ? 2 : 1},
        {".txt", ".c", "sub", Paths{a, x}, 3},
    };
    for (const auto& [exclude, include, folders, read, skipped] : cases) {
        SCOPED_TRACE(include + "|" + folders);
        request.excludeList = exclude;
        request.includeList = include;
        request.skipFolders = folders;
        EXPECT_EQ(walk(root), read);
        EXPECT_EQ(searchRun.stats().skippedByFilters, skipped);
    }
    EXPECT_EQ(walk(tree.path("root/sub")), (Paths{y, z}))
        << "a root is searched, whatever its name";
    request.options.recursive = false;
    EXPECT_EQ(walk(root), Paths{a});
    EXPECT_EQ(searchRun.stats().skippedByFilters, 2)
        << "folders Recursive passes over are not counted";
    request.options.recursive = true;
    request.skipFolders.clear();
    EXPECT_EQ(walk(c), Paths{});
    EXPECT_EQ(searchRun.stats().skippedByFilters, 1) << "a root naming a file of a left-out type";
    request.excludeList.clear();
    request.includeList = ".c";
    request.skipFolders = "obj";
    for (const std::string& path : {c, y})
        memory.add(path.c_str(), 500);
    request.pathText = tree.path("root/node_modules") + ";" + tree.path("root/sub");
    searchRun.runSearch();
    EXPECT_EQ(results.count(), 2) << "x.c and z.c; the remembered c.txt and obj/y.c are left out";
}

void setEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
    _wputenv_s(wideText(name).c_str(), wideText(value).c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

// Skip Ignored Files: .gitignore files from the top down, info/exclude, the global file; no ".git";
// an inner repository starts over; a root below the top takes the rules above it.
TEST_F(WalkTest, SkipIgnoredFilesLeavesOutWhatGitIgnores) {
    const std::string home = "\xd0\x96\xd0\xb0\xd0\xbd\xd1\x80";
    tree.write(home + "/.gitconfig", "[core]\n\texcludesFile = ~/global-ignore\n");
    tree.write(home + "/global-ignore", "*.glob\n");
    setEnvironment(kFileNamesFoldCase ? "USERPROFILE" : "HOME", tree.path(home));
    setEnvironment("XDG_CONFIG_HOME", tree.path("config"));
    tree.write("repo/.git/HEAD", "ref: refs/heads/main\n");
    tree.write("repo/.git/info/exclude", "# local\n*.tmp\n");
    const std::string rules = tree.write(
        "repo/.gitignore", "*.o\r\nbuild/\n/top-only.c\n!keep.o\nlogs/*\n!logs/keep.log\n");
    const std::string read[] = {
        rules,
        tree.write("repo/a.c", "x"),
        tree.write("repo/keep.o", "x"),
        tree.write("repo/logs/keep.log", "x"),
        tree.write("repo/sub/.gitignore", "\xef\xbb\xbf!a.o\n*.c\n!main.c\n"),
        tree.write("repo/sub/a.o", "x"),
        tree.write("repo/sub/main.c", "x"),
        tree.write("repo/inner/.gitignore", "y.c\n"),
        tree.write("repo/inner/a.o", "x"),
        tree.write("repo/inner/z.tmp", "x"),
    };
    const std::string ignored[] = {
        "a.o",     "x.tmp",          "top-only.c",   "g.glob",    "build/b.c",        "logs/a.log",
        "sub/x.c", "sub/top-only.c", "sub/deep/q.o", "inner/y.c", "inner/.git/config"};
    for (const std::string& path : ignored)
        tree.write("repo/" + path, "x");
    tree.write("repo/build/.gitignore", "!b.c\n");
    request.options.skipIgnoredFiles = true;
    EXPECT_EQ(walk(tree.path("repo")), Paths(std::begin(read), std::end(read)));
    EXPECT_EQ(searchRun.stats().skippedByFilters, 12)
        << "each ignored once, build/ as a folder, and .git";
    EXPECT_EQ(walk(tree.path("repo/sub")), (Paths{read[4], read[5], read[6]}));
    EXPECT_EQ(walk(tree.path("repo/build")),
              (Paths{tree.path("repo/build/.gitignore"), tree.path("repo/build/b.c")}));
    EXPECT_EQ(walk(tree.path("repo/.git/info")), Paths{tree.path("repo/.git/info/exclude")});
    for (const char* path : {"repo/sub/deep/q.o", "repo/sub/x.c", "repo/sub/main.c"})
        memory.add(tree.path(path).c_str(), 500);
    request.pathText = tree.path("repo/sub");
    searchRun.runSearch();
    EXPECT_EQ(results.count(), 3) << "sub/.gitignore, sub/a.o and sub/main.c, once";
    request.options.skipIgnoredFiles = false;
    EXPECT_EQ(walk(tree.path("repo")).size(), std::size(read) + std::size(ignored) + 3);
    EXPECT_EQ(searchRun.stats().skippedByFilters, 0);
    const std::string plain = tree.write("plain/a.c", "x");
    tree.write("plain/.gitignore", "*.c\n");
    request.options.skipIgnoredFiles = true;
    EXPECT_EQ(walk(tree.path("plain")), (Paths{plain, tree.path("plain/.gitignore")}));
}

#ifdef _WIN32
// Reparse points (junctions, directory links, mounted folders) are folder links; a file stays one.
TEST(DirectoryListingWin32, AttributesGiveTheKind) {
    const std::pair<uint32_t, EntryKind> cases[] = {
        {0x20, EntryKind::File},      {0x23, EntryKind::File},        {0x10, EntryKind::Directory},
        {0x11, EntryKind::Directory}, {0x410, EntryKind::FolderLink}, {0x420, EntryKind::File}};
    for (const auto& [attributes, kind] : cases)
        EXPECT_EQ(entryKindOf(attributes), kind) << attributes;
}

// A Unix link (a reparse-point folder to Wine), awaited: Wine does not wait for ln. Wine only.
bool unixLink(const std::string& folder, const std::string& target, const std::string& name) {
    std::wstring command = wideText("/bin/ln -s " + target + " " + name);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        wideText(folder).c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string link = folder + "\\" + name;
    std::replace(link.begin(), link.end(), '/', '\\');
    for (int wait = 0;
         wait < 500 && GetFileAttributesW(widePath(link).c_str()) == INVALID_FILE_ATTRIBUTES;
         ++wait)
        Sleep(10);
    return GetFileAttributesW(widePath(link).c_str()) ==
           (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
}

// Links to a sibling are walked, links back not; so too with non-Latin names past 260 characters.
TEST_F(WalkTest, FolderLinksAreWalkedUnlessTheyLeadBack) {
    const std::string root = tree.mkdir("root");
    const std::string a = tree.write("root/a.txt", "a");
    const std::string b = tree.write("root/sub/b.txt", "b");
    const std::string s = tree.write("sibling/s.txt", "s");
    const std::pair<const char*, const char*> links[] = {
        {"root/there", "../sibling"}, {"root/again", "../sibling"}, {"root/out", ".."},
        {"root/sub/up", ".."},        {"root/sub/self", "."},       {"sibling/back", "../root"}};
    for (const auto& [link, target] : links) {
        const std::string at = tree.path(link);
        const size_t cut = at.rfind('\\');
        if (!unixLink(at.substr(0, cut), target, at.substr(cut + 1))) GTEST_SKIP() << "needs Wine";
    }
    host.stopAtPump = 50;  // a walk caught in a loop stops here, files read again and again
    EXPECT_EQ(walk(root),
              (Paths{a, b, tree.path("root/there/s.txt"), tree.path("root/again/s.txt")}));
    EXPECT_EQ(walk(tree.path("sibling")),
              (Paths{s, tree.path("sibling/back/a.txt"), tree.path("sibling/back/sub/b.txt")}));
    // Wine resolves no folder past MAX_PATH: the link lies above 260 characters, the files below.
    const std::string cyrillic = "\xd0\x96\xd0\xb0\xd0\xbd\xd1\x80",
                      japanese = "\xe6\x97\xa5\xe6\x9c\xac";
    std::string deep = japanese;
    while (tree.path(deep).size() < 280)
        deep += "/" + std::string(100, 'd');
    tree.write(deep + "/n.txt", "n");
    ASSERT_TRUE(unixLink(tree.path("sibling"), "../" + japanese, cyrillic));
    ASSERT_TRUE(unixLink(tree.path(japanese), "../sibling", cyrillic));
    const std::string through = "sibling/" + cyrillic + deep.substr(japanese.size());
    EXPECT_EQ(walk(tree.path("sibling")),
              (Paths{s, tree.path("sibling/back/a.txt"), tree.path("sibling/back/sub/b.txt"),
                     tree.path(through + "/n.txt")}));
    request.options.recursive = 0;
    EXPECT_EQ(walk(root), (Paths{a}));
}
#else
TEST_F(WalkTest, LinksFifosDevicesUnreadableFilesAndFilesPast2GiBAreNotRead) {
    const std::string root = tree.mkdir("root");
    const std::string file = tree.write("root/file.txt", "x");
    fs::create_directory_symlink(root, tree.path("root/loop"));  // to its own ancestor
    fs::create_directory_symlink("/", tree.path("root/slash"));
    fs::create_symlink(file, tree.path("root/filelink"));
    fs::create_symlink("/dev/zero", tree.path("root/zero"));
    fs::create_symlink(tree.path("nowhere"), tree.path("root/dangling"));
    const std::string fifo = tree.path("root/pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(walk(root), (Paths{file, tree.path("root/filelink")})) << "no folder link followed";
    EXPECT_TRUE(host.errors.empty());
    // Roots are opened without blocking (else this hangs) and read only when regular files.
    request.pathText = fifo + ";/dev/zero";
    searchRun.runSearch();
    EXPECT_EQ(searchRun.stats().files, 0);
    EXPECT_EQ(host.errors.size(), 2u);
    // A sparse file of 2 GiB and one byte is remembered but not read.
    const std::string small = tree.write("sparse/small.txt", "needle\n");
    const std::string huge = tree.write("sparse/huge.txt", "needle\n");
    const int64_t size = (int64_t{1} << 31) + 1;
    fs::resize_file(huge, size - 7);
    std::ofstream(huge, std::ios::app) << "needle\n";  // its last bytes hold the term again
    request.findText = "needle";
    request.options.skipBinaryFiles = false;  // else its NULs would skip it before its size does
    EXPECT_EQ(walk(tree.path("sparse")), (Paths{small}));
    EXPECT_EQ(std::make_pair(searchRun.stats().bytes, memory.isSearched(huge.c_str())),
              std::make_pair(int64_t{7}, true));
    const std::string modes = tree.mkdir("modes");  // unreadable folders and files passed over
    host.errors.clear();
    const std::string readable = tree.write("modes/readable.txt", "needle\n");
    chmod(tree.write("modes/secret.txt", "needle\n").c_str(), 0);
    tree.write("modes/locked/inside.txt", "needle\n");
    tree.write("modes/unenterable/inside.txt", "needle\n");
    for (const std::string& folder : {tree.root(), modes})
        chmod(folder.c_str(), 0755);  // open to every user whatever the umask
    chmod(readable.c_str(), 0644);
    chmod(tree.path("modes/locked").c_str(), 0);          // neither listed nor entered
    chmod(tree.path("modes/unenterable").c_str(), 0444);  // listed only
    // Root reads any file: the walk runs as nobody.
    const bool asRoot = geteuid() == 0;
    ASSERT_TRUE(!asRoot || (setegid(65534) == 0 && seteuid(65534) == 0));
    const Paths found = walk(modes);
    const int64_t files = searchRun.stats().files;
    const int32_t remembered = memory.count();
    walk(tree.path("modes/locked"));
    ASSERT_TRUE(!asRoot || (seteuid(0) == 0 && setegid(0) == 0));
    EXPECT_EQ(found, Paths{readable});
    EXPECT_EQ(std::make_pair(files, remembered), std::make_pair(int64_t{1}, 1));
    EXPECT_EQ(host.errors, Strings{"Error: can't open directory " + tree.path("modes/locked")});
}
#endif

}  // namespace
}  // namespace tarvo
