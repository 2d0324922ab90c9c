// The walk and the scanner over trees built to hurt them: links to the root
// directory, device nodes, folders and files the user may not read, files
// that vanish or change kind between the listing and the open, files that
// shrink while their lines are scored, a sparse file past 2 GiB, deep
// nesting, names of 255 bytes and a folder of 100,000 files. Whatever the
// tree holds, the search ends, reads only regular files, and reports only
// roots it cannot open.
#ifndef _WIN32

#include <fcntl.h>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "engine/file_memory.h"
#include "engine/search_engine.h"
#include "preview/preview_document.h"
#include "results/result_store.h"
#include "support/engine_fixture.h"
#include "support/temp_tree.h"
#include "support/test_host.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Paths = testing::EngineTest::Paths;

// The user and group that own nothing: a search run as them meets the modes
// of files and folders as an ordinary user does.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// Runs `body` with an ordinary user's rights and returns what it returned.
// Root reads every file whatever its mode, so as root the body runs in a
// forked child that has given up root for nobody, and its text comes back
// through a pipe; "child failed" when the child could not finish.
std::string asOrdinaryUser(const std::function<std::string()>& body) {
    if (geteuid() != 0) return body();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "child failed: pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        if (setgroups(0, nullptr) != 0 || setgid(kNoGroup) != 0 || setuid(kNobody) != 0) _exit(3);
        const std::string text = body();
        const bool written =
            write(pipeEnds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        _exit(written ? 0 : 4);
    }
    close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return "child failed: status " + std::to_string(status);
    }
    return text;
}

// Calls `step` and says whether it finished by itself within `limit`. If it
// is still blocked then, the FIFO at `fifo` is opened for writing and closed
// again, which ends an open() or read() waiting on it, so a hang fails the
// test instead of stopping the suite.
bool finishesWithoutHelp(const std::string& fifo, const std::function<void()>& step,
                         std::chrono::seconds limit = std::chrono::seconds(3)) {
    std::atomic<bool> done{false};
    std::atomic<bool> helped{false};
    std::thread watchdog([&] {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        while (!done) {
            helped = true;
            const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) close(writer);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    step();
    done = true;
    watchdog.join();
    return !helped;
}

class HostileTreeTest : public testing::EngineTest {
protected:
    HostileTreeTest() { request.options.searchFileNames = 0; }

    static std::string joined(const Paths& paths) {
        std::string text;
        for (const std::string& path : paths)
            text += path + "\n";
        return text;
    }
};

TEST_F(HostileTreeTest, LinksToTheRootAndDeviceNodesAreNotRead) {
    const std::string root = tree.mkdir("root");
    const std::string file = tree.write("root/file.txt", "x");
    fs::create_directory_symlink("/", tree.path("root/slash"));
    fs::create_symlink("/dev/zero", tree.path("root/zero"));
    // A socket in the tree: opening it for reading fails, listing it must not.
    const std::string socketPath = tree.path("root/socket");
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // A device node of its own where the system allows it (root outside a
    // restricted container): the null device.
    const bool haveNode = mknod(tree.path("root/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;

    {
        SCOPED_TRACE(
            "the link to / is not walked; the device, its link and the socket are skipped");
        EXPECT_EQ(walk(root), (Paths{file}));
        EXPECT_TRUE(host.errors.empty());
        EXPECT_EQ(engine.stats().files, 1);
        EXPECT_EQ(memory.count(), 1) << "nothing but the regular file was opened";
    }
    {
        SCOPED_TRACE("device roots are reported, not opened");
        EXPECT_EQ(walk("/dev/zero"), Paths{});
        if (haveNode) {
            EXPECT_EQ(walk(tree.path("root/null")), Paths{});
        }
        EXPECT_EQ(host.errors.size(), haveNode ? 2u : 1u);
    }
    close(listener);
}

TEST_F(HostileTreeTest, UnreadableFoldersAndFilesArePassedOver) {
    const std::string root = tree.mkdir("root");
    const std::string readable = tree.write("root/readable.txt", "needle\n");
    const std::string secret = tree.write("root/secret.txt", "needle\n");
    tree.write("root/locked/inside.txt", "needle\n");
    tree.write("root/unenterable/inside.txt", "needle\n");
    // The scratch tree is open to every user whatever the umask; then the
    // three hostile entries are closed.
    for (const std::string& folder : {tree.root(), root})
        chmod(folder.c_str(), 0755);
    chmod(readable.c_str(), 0644);
    chmod(secret.c_str(), 0);
    chmod(tree.path("root/locked").c_str(), 0);  // neither listed nor entered
    chmod(tree.path("root/unenterable").c_str(), S_IRUSR | S_IRGRP | S_IROTH);  // listed only
    request.findText = "needle";

    const std::string seen = asOrdinaryUser([&] {
        std::string text = joined(walk(root));
        text += "errors " + std::to_string(host.errors.size()) + "\n";
        text += "files " + std::to_string(engine.stats().files) + "\n";
        text += "remembered " + std::to_string(memory.count()) + "\n";
        walk(tree.path("root/locked"));
        for (const std::string& error : host.errors)
            text += error + "\n";
        return text;
    });
    // Only the readable file is read and remembered; the unreadable ones are
    // forgotten and nothing is reported until the locked folder is a root.
    EXPECT_EQ(seen, readable + "\nerrors 0\nfiles 1\nremembered 1\n" +
                        "Error: can't open directory " + tree.path("root/locked") + "\n");
}

TEST_F(HostileTreeTest, FilesThatChangeBetweenListingAndOpening) {
    const std::string root = tree.mkdir("root");
    const std::string only = tree.write("root/only.txt", "needle\n");
    request.findText = "needle";
    // The scanner pumps messages once before it opens each file: the moment
    // after the listing named it.
    {
        SCOPED_TRACE("deleted: forgotten, nothing reported");
        host.onPump = [&](int) { fs::remove(only); };
        EXPECT_EQ(walk(root), Paths{});
        EXPECT_EQ(engine.stats().files, 0);
        EXPECT_EQ(memory.count(), 0);
        EXPECT_TRUE(host.errors.empty());
    }
    {
        SCOPED_TRACE("replaced by a folder: not read as a file");
        tree.write("root/only.txt", "needle\n");
        host.onPump = [&](int) {
            if (fs::is_regular_file(only)) {
                fs::remove(only);
                fs::create_directory(only);
            }
        };
        EXPECT_EQ(walk(root), Paths{});
        EXPECT_EQ(engine.stats().files, 0);
        EXPECT_TRUE(host.errors.empty());
        fs::remove(only);
    }
    {
        SCOPED_TRACE("replaced by a FIFO: the open does not wait for a writer");
        tree.write("root/only.txt", "needle\n");
        host.onPump = [&](int) {
            if (fs::is_regular_file(only)) {
                fs::remove(only);
                ASSERT_EQ(mkfifo(only.c_str(), 0600), 0);
            }
        };
        EXPECT_TRUE(finishesWithoutHelp(only, [&] { walk(root); }));
        EXPECT_EQ(engine.stats().files, 0);
        EXPECT_EQ(results.count(), 0);
    }
    host.onPump = nullptr;
}

TEST_F(HostileTreeTest, RememberedFifosAndDevicesAreNotRead) {
    // The settings file may name anything; the remembered-files pass opens
    // what it names before any root is walked.
    const std::string fifo = tree.path("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    memory.add(fifo.c_str(), 500);
    memory.add("/dev/zero", 400);
    memory.add("/dev/null", 300);
    EXPECT_TRUE(finishesWithoutHelp(fifo, [&] { engine.runSearch(); }));
    EXPECT_EQ(engine.stats().files, 0) << "a FIFO or a device is not a file read to the end";
    EXPECT_EQ(results.count(), 0);
}

TEST_F(HostileTreeTest, AFileThatShrinksWhileItsLinesAreScored) {
    // 4,000 lines of 50 bytes, each with the term: the first lines have left
    // the window when scoring starts and are read again from the file,
    // which by then has been cut to 1,000 bytes.
    const std::string line = "needle " + std::string(42, 'x') + "\n";
    std::string bytes;
    for (int i = 0; i < 4000; ++i)
        bytes += line;
    const std::string path = tree.write("shrinks.txt", bytes);
    request.findText = "needle";
    engine.prepareRun();
    host.onPump = [&](int) {
        if (engine.stats().matches == kMatchesPerPump) fs::resize_file(path, 1000);
    };
    engine.scanFile(path.c_str());
    host.onPump = nullptr;

    EXPECT_EQ(engine.stats().files, 1);
    EXPECT_EQ(engine.stats().matches, 4000) << "every indexed line is still scored";
    ASSERT_EQ(results.count(), 4000);
    int32_t emptied = 0;
    for (int32_t i = 0; i < results.count(); ++i) {
        const ResultEntry& entry = results.rankEntry(i);
        ASSERT_GE(entry.lineNumber, 1);
        ASSERT_LE(entry.lineNumber, 4000);
        // What could still be read: the line itself, or nothing at all.
        if (entry.lineText.empty()) {
            ++emptied;
        } else {
            EXPECT_EQ(entry.lineText, line) << "line " << entry.lineNumber;
        }
    }
    EXPECT_GT(emptied, 0) << "the cut reached lines that had left the window";
}

TEST_F(HostileTreeTest, ASparseFileOf2GiBAndOneByteInATree) {
    const std::string root = tree.mkdir("root");
    const std::string small = tree.write("root/small.txt", "needle\n");
    const std::string huge = tree.write("root/huge.txt", "needle\n");
    const int64_t size = (int64_t{1} << 31) + 1;
    fs::resize_file(huge, size - 7);
    {
        std::FILE* file = std::fopen(huge.c_str(), "ab");
        ASSERT_NE(file, nullptr);
        std::fputs("needle\n", file);  // its last bytes hold the term again
        std::fclose(file);
    }
    ASSERT_EQ(static_cast<int64_t>(fs::file_size(huge)), size);
    request.findText = "needle";

    // Skipped, not read with 32-bit offsets: remembered and marked searched,
    // never counted, never a result.
    EXPECT_EQ(walk(root), (Paths{small}));
    EXPECT_EQ(engine.stats().files, 1);
    EXPECT_EQ(engine.stats().bytes, 7);
    EXPECT_TRUE(memory.isSearched(huge.c_str()));

    // The preview shows its first bytes only.
    PreviewDocument document;
    EXPECT_TRUE(document.loadDocument(huge, ".txt"));
    EXPECT_EQ(document.lineCount(), 2);  // "needle\n", then the zeros up to the cut
    EXPECT_EQ(document.lineRange(2).end, kMaxPreviewBytes);
}

TEST_F(HostileTreeTest, TwoHundredNestedFolders) {
    constexpr int kLevels = 200;
    std::string relative = "root";
    for (int level = 0; level < kLevels; ++level)
        relative += "/d";
    tree.mkdir(relative);
    Paths reachable;
    std::string folder = "root";
    for (int level = 0; level <= kLevels; ++level) {
        const std::string file = tree.write(folder + "/f", "x");
        if (file.size() <= static_cast<size_t>(kMaxPathLength)) reachable.insert(file);
        folder += "/d";
    }
    ASSERT_GT(reachable.size(), 50u);
    ASSERT_LT(reachable.size(), 200u);
    // The walk goes down as far as paths fit and passes the rest over.
    EXPECT_EQ(walk(tree.path("root")), reachable);
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(HostileTreeTest, NamesOf255Bytes) {
    const std::string name(255, 'n');
    tree.write(name, "x");
    tree.write(std::string(255, 'd') + "/f", "x");
    {
        SCOPED_TRACE("under an absolute root the paths pass 260 characters: passed over");
        EXPECT_EQ(walk(tree.root()), Paths{});
        EXPECT_TRUE(host.errors.empty());
    }
    {
        SCOPED_TRACE("under the relative root . they fit: read");
        const fs::path before = fs::current_path();
        fs::current_path(tree.root());
        const Paths found = walk(".");
        fs::current_path(before);
        EXPECT_EQ(found, (Paths{"./" + name, "./" + std::string(255, 'd') + "/f"}));
    }
}

// A scratch folder in memory where the system has one: creating and
// removing 100,000 files on a disk would take most of the test's time.
class MemoryFolder {
public:
    MemoryFolder() {
        const fs::path base =
            access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "tarvo-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~MemoryFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST_F(HostileTreeTest, AHundredThousandEmptyFiles) {
    constexpr int kFiles = 100000;
    MemoryFolder folder;
    ASSERT_FALSE(folder.path().empty());
    char name[32];
    for (int i = 0; i < kFiles; ++i) {
        std::snprintf(name, sizeof name, "/%06d.c", i);
        const int fd = open((folder.path() + name).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        close(fd);
    }
    request.findText = "needle";
    walk(folder.path());
    EXPECT_EQ(engine.stats().files, kFiles);
    EXPECT_EQ(engine.stats().lines, kFiles) << "an empty file counts as one line";
    EXPECT_EQ(memory.count(), kFiles);
    EXPECT_EQ(results.count(), 0);
    EXPECT_TRUE(host.errors.empty());
}

}  // namespace
}  // namespace tarvo

#endif  // _WIN32
