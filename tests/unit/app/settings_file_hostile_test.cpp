// The settings file against hostile input and a hostile end: a 50 MB file
// full of NULs, overflowing and missing numbers, a save killed half way
// through its bytes, links, modes, FIFOs and devices.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>
#endif

#include "app/settings_file.h"
#include "engine/file_memory.h"
#include "support/temp_tree.h"

namespace tarvo {
namespace {

using namespace std::string_literals;

constexpr int32_t kScreenWidth = 1024;
constexpr int32_t kScreenHeight = 768;

#ifndef _WIN32
std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

off_t sizeOf(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_size : 0;
}
#endif

namespace fs = std::filesystem;

class SettingsFileHostileTest : public ::testing::Test {
protected:
    std::string file() const { return tree_.path("TarvoSearch.txt"); }
    // The temporary files of saves beside the settings file.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(tree_.root())) {
            if (entry.path().filename().string().starts_with("TarvoSearch.txt.tmp-"))
                found.push_back(entry.path().string());
        }
        return found;
    }
    bool load() {
        return loadSettings(file().c_str(), kScreenWidth, kScreenHeight, settings_, memory_);
    }

    testing::TempTree tree_;
    Settings settings_;
    FileMemory memory_;
};

TEST_F(SettingsFileHostileTest, FiftyMegabytesOfNulsAndBadNumbers) {
    // Four kinds of memory row, one in four of them valid; a row with an
    // overflowing number, one that starts with NULs, one with a NUL in its
    // path.
    constexpr int kRows = 1000000;
    std::string bytes = "Tarvo Search, version 1.0\n"s +
                        "10 20 wide 700\n" +                             // a word among the numbers
                        "find\0"s + std::string(20000000, 'f') + "\n" +  // a NUL, then 20 MB
                        std::string(3000000, ';') + "/p\n" +             // 3 MB of empty roots
                        ".c\0.h\n"s +                                    // a NUL inside a list
                        "\n" +                                           // an empty exclude list
                        "2 0 x 0 0 0 0\n" +  // an unreadable third number
                        "\n";
    bytes.reserve(50100000);
    char row[64];
    for (int i = 0; i < kRows; ++i) {
        switch (i % 4) {
            case 0:
                bytes.append(row, std::snprintf(row, sizeof row, "%d /ok/%07d\n", 1 + i % 999, i));
                break;
            case 1:
                bytes.append(row, std::snprintf(row, sizeof row, "99999999999 /over/%07d\n", i));
                break;
            case 2:
                bytes += "\0\0\0 /nul/"s + std::to_string(i) + "\n";
                break;
            default:
                bytes += "7 /with\0nul/"s + std::to_string(i) + "\n";
        }
    }
    while (bytes.size() < 50000000)
        bytes += std::string(9000, '\0') + "\n";  // lines of NULs: rows without a number
    tree_.write("TarvoSearch.txt", bytes);
    ASSERT_GE(std::filesystem::file_size(file()), 50000000u);

    EXPECT_TRUE(load());
    EXPECT_EQ(settings_.windowRect.left, kDefaultPlacement) << "a bad rectangle keeps the default";
    EXPECT_EQ(settings_.request.findText, "find") << "a NUL ends a text";
    EXPECT_EQ(settings_.request.pathText, std::string(kMaxTextLength, ';'));
    EXPECT_EQ(settings_.request.highlightList, ".c");
    EXPECT_EQ(settings_.request.excludeList, "");
    EXPECT_EQ(settings_.sortMode, 2);
    EXPECT_EQ(settings_.request.options.recursive, 0);
    EXPECT_EQ(settings_.request.options.skipBinaryFiles, 1) << "from the bad number on: defaults";
    EXPECT_EQ(settings_.request.options.cppHeuristics, 1);
    ASSERT_EQ(memory_.count(), kRows / 4) << "only the valid rows";
    EXPECT_EQ(memory_.entry(0).path, "/ok/0000000");
    EXPECT_EQ(memory_.entry(kRows / 4 - 1).path, "/ok/0999996");

    // What it saves is small and reads back the same.
    ASSERT_TRUE(saveSettings(file().c_str(), false, settings_, memory_));
    EXPECT_LT(std::filesystem::file_size(file()), 10000000u);
    Settings again;
    FileMemory againMemory;
    EXPECT_TRUE(loadSettings(file().c_str(), kScreenWidth, kScreenHeight, again, againMemory));
    EXPECT_EQ(again.request.pathText, settings_.request.pathText);
    EXPECT_EQ(againMemory.count(), memory_.count());
}

#ifndef _WIN32
TEST_F(SettingsFileHostileTest, ASaveKilledHalfWayLeavesThePreviousFileWhole) {
    settings_.request.findText = "old";
    memory_.add("/remembered/old.c", 500);
    ASSERT_TRUE(saveSettings(file().c_str(), false, settings_, memory_));
    const std::string previous = readBytes(file());

    // The next save is about 20 MB, so it takes long enough to be caught
    // in the middle.
    Settings next = settings_;
    next.request.findText = "new";
    FileMemory bigMemory;
    const std::string padding(60, 'p');
    for (int i = 0; i < 300000; ++i)
        bigMemory.add(("/big/" + padding + std::to_string(i)).c_str(), 1 + i % 1000);
    const std::string complete = tree_.path("complete.txt");
    ASSERT_TRUE(saveSettings(complete.c_str(), false, next, bigMemory));
    const off_t fullSize = static_cast<off_t>(std::filesystem::file_size(complete));

    // A child saves; when its temporary file holds half the bytes it is
    // killed. A child that finished first is tried again (the old file is
    // put back), up to a bound.
    int caught = 0;
    off_t caughtAt = 0;
    for (int attempt = 0; attempt < 20 && caught == 0; ++attempt) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saveSettings(file().c_str(), false, next, bigMemory);
            _exit(0);
        }
        for (;;) {
            // Whichever file the save is writing: its temporary one, or the
            // settings file itself if the save ever wrote in place.
            off_t written = sizeOf(file());
            for (const std::string& temp : leftovers())
                written = std::max(written, sizeOf(temp));
            if (written >= fullSize / 2) {
                kill(child, SIGKILL);
                caughtAt = written;
                break;
            }
            if (waitpid(child, nullptr, WNOHANG) == child) break;  // finished first
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL && caughtAt < fullSize) {
            caught = 1;
        } else {
            ASSERT_TRUE(saveSettings(file().c_str(), false, settings_, memory_));  // put back
        }
    }
    ASSERT_EQ(caught, 1) << "no save was caught in the middle in 20 attempts";

    EXPECT_EQ(readBytes(file()), previous) << "the previous file is whole";
    const std::vector<std::string> left = leftovers();
    ASSERT_EQ(left.size(), 1u) << "the interrupted copy stays beside it";
    EXPECT_LT(sizeOf(left[0]), fullSize);
    EXPECT_TRUE(load());
    EXPECT_EQ(settings_.request.findText, "old");
    ASSERT_EQ(memory_.count(), 1);
    EXPECT_EQ(memory_.entry(0).path, "/remembered/old.c");

    // The next save replaces the file whole. A leftover younger than a
    // minute may be a save still running, so it stays; an older one is
    // removed.
    ASSERT_TRUE(saveSettings(file().c_str(), false, next, bigMemory));
    EXPECT_EQ(readBytes(file()), readBytes(complete));
    EXPECT_EQ(leftovers(), left);
    fs::last_write_time(left[0], fs::file_time_type::clock::now() - std::chrono::minutes(2));
    ASSERT_TRUE(saveSettings(file().c_str(), false, settings_, memory_));
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(SettingsFileHostileTest, LinksModesAndFilesThatAreNotRegular) {
    settings_.request.findText = "new";
    {
        SCOPED_TRACE("a link is followed and its target keeps its mode");
        const std::string target = tree_.write("real/target.txt", "Tarvo Search, version 1.0\n");
        ASSERT_EQ(chmod(target.c_str(), 0600), 0);
        fs::create_symlink("real/target.txt", file());
        ASSERT_TRUE(saveSettings(file().c_str(), false, settings_, memory_));
        EXPECT_TRUE(fs::is_symlink(file()));
        EXPECT_NE(readBytes(target).find("\nnew\n"), std::string::npos);
        EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(std::distance(fs::directory_iterator(tree_.path("real")), {}), 1);
    }
    {
        SCOPED_TRACE("a file without write permission is not replaced, even by root");
        const std::string readOnly = tree_.write("read-only.txt", "mine");
        ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
        std::string reason;
        EXPECT_FALSE(saveSettings(readOnly.c_str(), false, settings_, memory_, &reason));
        EXPECT_EQ(reason, std::strerror(EACCES));
        EXPECT_EQ(readBytes(readOnly), "mine");
    }
    ASSERT_EQ(mkfifo(tree_.path("fifo").c_str(), 0600), 0);
    tree_.mkdir("folder");
    fs::create_symlink("/dev/zero", tree_.path("zero-link"));
    fs::create_symlink("/dev/null", tree_.path("null-link"));
    const auto entries = [&] { return std::distance(fs::directory_iterator(tree_.root()), {}); };
    const auto before = entries();
    for (const char* name : {"fifo", "folder", "zero-link", "null-link"}) {
        SCOPED_TRACE(name);
        const std::string path = tree_.path(name);
        const fs::file_type type = fs::symlink_status(path).type();
        // Read in a child that an alarm ends: an open that blocks or a read
        // that never ends fails the test instead of hanging it.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            alarm(10);
            std::string refusal;
            const bool ours = loadSettings(path.c_str(), kScreenWidth, kScreenHeight, settings_,
                                           memory_, &refusal);
            _exit(!ours && refusal == kNotRegularFile ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "refused, status " << status;
        std::string reason;
        EXPECT_FALSE(saveSettings(path.c_str(), false, settings_, memory_, &reason));
        EXPECT_EQ(reason, kNotRegularFile);
        EXPECT_EQ(fs::symlink_status(path).type(), type);
    }
    EXPECT_EQ(entries(), before) << "no temporary file is left";
}
#endif

}  // namespace
}  // namespace tarvo
