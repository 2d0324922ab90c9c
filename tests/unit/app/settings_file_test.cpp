#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "engine/file_memory.h"
#include "support/temp_tree.h"

namespace tarvo {
namespace {

using namespace std::string_literals;

constexpr int32_t kScreenWidth = 1024;
constexpr int32_t kScreenHeight = 768;

const std::string kDefaultHead =
    "Tarvo Search, version 1.0\n-2147483648 0 -2147483648 0\n\n\n.c;.cpp;.cxx;.h\n\n"
    "1 1 1 1 1 1 1\n\n";

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class SettingsFileTest : public ::testing::Test {
protected:
    // The layouts below are written with "\n"; the window's own line ends
    // are checked in its suite.
    SettingsFileTest() { settings_.lineEnds = LineEnds::Lf; }

    // Loads `bytes` as a settings file into settings_ and memory_.
    bool load(const std::string& bytes) {
        tree_.write("TarvoSearch.txt", bytes);
        return loadSettings(file().c_str(), kScreenWidth, kScreenHeight, settings_, memory_);
    }
    std::string file() const { return tree_.path("TarvoSearch.txt"); }
    std::string save(bool offset = false) {
        EXPECT_TRUE(saveSettings(file().c_str(), offset, settings_, memory_));
        return readBytes(file());
    }
    void expectDefaults() {
        const Settings defaults;
        EXPECT_EQ(settings_.windowRect.left, kDefaultPlacement);
        EXPECT_EQ(settings_.windowRect.right, kDefaultPlacement);
        EXPECT_EQ(settings_.windowRect.top, 0);
        EXPECT_EQ(settings_.windowRect.bottom, 0);
        EXPECT_EQ(settings_.request.findText, "");
        EXPECT_EQ(settings_.request.pathText, "");
        EXPECT_EQ(settings_.request.highlightList, ".c;.cpp;.cxx;.h");
        EXPECT_EQ(settings_.request.excludeList, "");
        EXPECT_EQ(settings_.sortMode, ByRank);
        EXPECT_EQ(settings_.request.options.recursive, 1);
        EXPECT_EQ(settings_.request.options.cppHeuristics, 1);
    }

    testing::TempTree tree_;
    Settings settings_;
    FileMemory memory_;
};

TEST_F(SettingsFileTest, MissingOrForeignFileGivesDefaults) {
    const std::string cases[] = {"(no file)",
                                 "",
                                 "Tarvo Search, version 1.0 \n0 0 100 100\nfoo\n",
                                 "Tarvo Search, version 1.1\n0 0 100 100\nfoo\n",
                                 "Tarvo Search, version 1.0\0\n0 0 100 100\n"s,
                                 "\x01\x02\x03\0\xff\n\n\n"s};
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        settings_.request.findText = "left over";
        settings_.sortMode = 3;
        settings_.lastPathText = "old";
        if (bytes == "(no file)") {
            EXPECT_TRUE(loadSettings(tree_.path("absent.txt").c_str(), kScreenWidth, kScreenHeight,
                                     settings_, memory_));
        } else {
            // Only a file with something foreign in it is reported.
            EXPECT_EQ(load(bytes), bytes.empty());
        }
        expectDefaults();
        EXPECT_EQ(settings_.lastFindText, "");
        EXPECT_EQ(settings_.lastPathText, "");
    }
}

TEST_F(SettingsFileTest, PlacementBounds) {
    struct Case {
        const char* line;
        bool taken;
    } cases[] = {
        {"0 0 100 100", true},     {"-1 0 500 500", false},
        {"924 0 1024 768", true},  {"925 0 1024 768", false},
        {"0 0 1024 769", false},   {"0 668 1024 768", true},
        {"0 669 1024 768", false}, {"0 0 99 100", false},
        {"0 0 1025 100", false},   {"0 0 100", false},
        {"a b c d", false},        {"0 0 4294967396 100", false},
        {"500 0 200 300", false},  {"  10  20 300 400 junk", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        load(std::string("Tarvo Search, version 1.0\n") + c.line + "\nfind\n");
        if (c.taken) {
            EXPECT_NE(settings_.windowRect.left, kDefaultPlacement);
            EXPECT_NE(settings_.windowRect.bottom, 0);
        } else {
            EXPECT_EQ(settings_.windowRect.left, kDefaultPlacement);
            EXPECT_EQ(settings_.windowRect.right, kDefaultPlacement);
        }
        EXPECT_EQ(settings_.request.findText, "find");
    }
    load("Tarvo Search, version 1.0\n10 20 300 400\n");
    EXPECT_EQ(settings_.windowRect.left, 10);
    EXPECT_EQ(settings_.windowRect.top, 20);
    EXPECT_EQ(settings_.windowRect.right, 300);
    EXPECT_EQ(settings_.windowRect.bottom, 400);
}

TEST_F(SettingsFileTest, SaveLayoutOffsetAndMemoryOrder) {
    memory_.add("a", 10);
    memory_.add("b", 0);
    memory_.add("c", 30);
    memory_.add("d", 10);
    memory_.add("e", -1);
    EXPECT_EQ(save(), kDefaultHead + "30 c\n10 a\n10 d\n");

    settings_.windowRect = {100, 80, 900, 680};
    settings_.request.findText = "foo";
    settings_.request.pathText = "c:\\src";
    memory_.clear();
    EXPECT_EQ(save(true),
              "Tarvo Search, version 1.0\n125 105 925 705\nfoo\nc:\\src\n.c;.cpp;.cxx;.h\n\n"
              "1 1 1 1 1 1 1\n\n");
    EXPECT_EQ(save(false).substr(26, 15), "100 80 900 680\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree_.root()), {}), 1)
        << "no temporary file is left beside the file";
}

TEST_F(SettingsFileTest, FileEndingEarlyKeepsLaterDefaults) {
    memory_.add("stale", 5);
    EXPECT_TRUE(
        load("Tarvo Search, version 1.0\n100 80 900 680\nfoo bar\nc:\\src"));  // no final newline
    EXPECT_EQ(settings_.windowRect.left, 100);
    EXPECT_EQ(settings_.request.findText, "foo bar");
    EXPECT_EQ(settings_.request.pathText, "c:\\src");
    EXPECT_EQ(settings_.request.highlightList, ".c;.cpp;.cxx;.h");
    EXPECT_EQ(settings_.request.excludeList, "");
    EXPECT_EQ(settings_.sortMode, ByRank);
    EXPECT_EQ(settings_.request.options.skipBinaryFiles, 1);
    EXPECT_EQ(memory_.count(), 0);  // emptied before the (absent) rows
    EXPECT_EQ(settings_.lastFindText, "foo bar");
    EXPECT_EQ(settings_.lastPathText, "c:\\src");
}

TEST_F(SettingsFileTest, OptionsTakenAsRead) {
    struct Case {
        const char* line;
        int32_t sortMode, recursive, skipBinary, heuristics;
    } cases[] = {
        {"2 0 0 0 0 0 0", 2, 0, 0, 0},   {"3 0", 3, 0, 1, 1},
        {"-7 5 x 0 0 0 0", -7, 5, 1, 1}, {"2 0 0 0 0 0 0 9 9", 2, 0, 0, 0},
        {"99999999999 0", 1, 1, 1, 1},   {"", 1, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        load(std::string(kDefaultHead.substr(0, kDefaultHead.find("1 1 1"))) + c.line + "\n");
        EXPECT_EQ(settings_.sortMode, c.sortMode);
        EXPECT_EQ(settings_.request.options.recursive, c.recursive);
        EXPECT_EQ(settings_.request.options.skipBinaryFiles, c.skipBinary);
        EXPECT_EQ(settings_.request.options.cppHeuristics, c.heuristics);
    }
}

TEST_F(SettingsFileTest, MemoryRows) {
    load(kDefaultHead +
         "7 c:\\my dir\\f.c\n"
         "12\n"                 // only a number
         "abc 5\n"              // no number first
         "  8 lead\n"           // leading blanks before the number
         "9 c:\\my dir\\f.c\n"  // already present: not added twice
         "-3 neg\n"
         "4 \n"  // no path
         "99999999999 big\n"
         "5 with\0nul\n"s  // a NUL cannot be in a path
         "6 last");        // unterminated last line
    ASSERT_EQ(memory_.count(), 4);
    EXPECT_EQ(memory_.entry(0).path, "c:\\my dir\\f.c");
    EXPECT_EQ(memory_.entry(0).priority, 7);
    EXPECT_EQ(memory_.entry(1).path, "lead");
    EXPECT_EQ(memory_.entry(1).priority, 8);
    EXPECT_EQ(memory_.entry(2).path, "neg");
    EXPECT_EQ(memory_.entry(3).path, "last");
}

TEST_F(SettingsFileTest, RoundTripByteForByte) {
    const std::string file = std::string(
                                 "Tarvo Search, version 1.0\n"
                                 "10 20 1000 700\n"
                                 "  foo \"bar baz\"\tqux\xe9\r\n"  // a CR inside the text is kept
                                 "c:\\src; d:\\other dir\n"
                                 "\n"
                                 ".obj;.exe\n"
                                 "3 0 1 0 1 0 -1\n"
                                 "\n"
                                 "1000 /p/a b.c\n"
                                 "990 /p/\xff.c\n"
                                 "990 /p/x.c\n"
                                 "1 ") +
                             std::string(9997, 'z') + "\n";
    load(file);
    EXPECT_EQ(settings_.request.highlightList, "");
    EXPECT_EQ(settings_.request.options.cppHeuristics, -1);
    EXPECT_EQ(memory_.count(), 4);
    EXPECT_EQ(save(), file);
    {
        SCOPED_TRACE("an empty Find text is written as an empty line and read back as empty");
        settings_.request.findText.clear();
        save();
        loadSettings(this->file().c_str(), kScreenWidth, kScreenHeight, settings_, memory_);
        EXPECT_EQ(settings_.request.findText, "");
        EXPECT_EQ(settings_.request.pathText, "c:\\src; d:\\other dir");
    }
}

TEST_F(SettingsFileTest, WindowsLineEndsAreReadAndKept) {
    const std::string file =
        "Tarvo Search, version 1.0\r\n100 80 900 680\r\nfoo\r\nc:\\src\r\n.c\r\n\r\n"
        "2 1 1 1 1 1 0\r\n\r\n5 c:\\a.c\r\n";
    load(file);
    EXPECT_EQ(settings_.windowRect.right, 900);
    EXPECT_EQ(settings_.request.findText, "foo");
    EXPECT_EQ(settings_.request.pathText, "c:\\src");
    EXPECT_EQ(settings_.request.highlightList, ".c");
    EXPECT_EQ(settings_.sortMode, 2);
    EXPECT_EQ(settings_.request.options.cppHeuristics, 0);
    ASSERT_EQ(memory_.count(), 1);
    EXPECT_EQ(memory_.entry(0).path, "c:\\a.c");
    EXPECT_EQ(save(), file) << "written back with the line ends it had";
}

TEST_F(SettingsFileTest, LongLinesAreCutAndSkipped) {
    const std::string longLine(100000, 'x');
    load("Tarvo Search, version 1.0\n0 0 100 100\n" + longLine + "\npath\n" + longLine +
         "\n.h\n1 0 0 0 0 0 0\n\n5 " + longLine + "\n6 short\n");
    EXPECT_EQ(settings_.request.findText, std::string(kMaxTextLength, 'x'));
    EXPECT_EQ(settings_.request.pathText, "path");
    EXPECT_EQ(settings_.request.excludeList, ".h");
    EXPECT_EQ(settings_.request.options.recursive, 0);
    ASSERT_EQ(memory_.count(), 1);  // the cut row would name another file
    EXPECT_EQ(memory_.entry(0).path, "short");

    {
        SCOPED_TRACE("saving: every written line reads back into its own setting");
        settings_.request.findText = std::string(20000, 'y');
        settings_.request.pathText = "first\nsecond";
        settings_.request.excludeList = std::string("a\0b", 3);
        memory_.add(std::string(kMaxTextLength, 'p').c_str(), 50);  // too long for one line
        memory_.add("new\nline", 40);
        save();
        loadSettings(file().c_str(), kScreenWidth, kScreenHeight, settings_, memory_);
        EXPECT_EQ(settings_.request.findText, std::string(kMaxTextLength, 'y'));
        EXPECT_EQ(settings_.request.pathText, "first");
        EXPECT_EQ(settings_.request.highlightList, std::string(kMaxTextLength, 'x'));
        EXPECT_EQ(settings_.request.excludeList, "a");
        EXPECT_EQ(settings_.request.options.recursive, 0);
        ASSERT_EQ(memory_.count(), 1);
        EXPECT_EQ(memory_.entry(0).path, "short");
    }
}

TEST_F(SettingsFileTest, BadInputNeverCrashes) {
    std::mt19937 random(5);
    for (int round = 0; round < 50; ++round) {
        std::string bytes = round % 2 ? "Tarvo Search, version 1.0\n" : "";
        const int length = static_cast<int>(random() % 3000);
        for (int i = 0; i < length; ++i) {
            const uint32_t pick = random() % 8;
            bytes += pick == 0   ? '\n'
                     : pick == 1 ? ' '
                     : pick == 2 ? '\0'
                     : pick == 3 ? '-'
                     : pick < 6  ? static_cast<char>('0' + random() % 10)
                                 : static_cast<char>(random() % 256);
        }
        load(bytes);
        EXPECT_LE(settings_.request.findText.size(), static_cast<size_t>(kMaxTextLength));
        EXPECT_EQ(settings_.request.findText.find('\0'), std::string::npos);
        EXPECT_EQ(settings_.lastFindText, settings_.request.findText);
    }
}

TEST_F(SettingsFileTest, MemoryStopsAtItsCap) {
    std::string bytes = kDefaultHead;
    bytes.reserve(bytes.size() + 2000000 * 12);
    char row[32];
    for (int i = 0; i < 2000000; ++i) {
        bytes.append(row, std::snprintf(row, sizeof row, "1 /%07d\n", i));
    }
    load(bytes);
    EXPECT_EQ(memory_.count(), kMaxRememberedFiles);
    EXPECT_EQ(memory_.entry(kMaxRememberedFiles - 1).path, "/0999999");
    EXPECT_EQ(memory_.find("/1000000"), -1);
}

TEST_F(SettingsFileTest, LeftoversDoNotBlockAndFailuresKeepTheOldFile) {
    const std::string leftover = file() + ".tmp";
    for (const bool folder : {true, false}) {
        SCOPED_TRACE(folder ? "a folder named like an older temporary file"
                            : "a read-only file named so");
        if (folder) {
            std::filesystem::create_directory(leftover);
        } else {
            tree_.write("TarvoSearch.txt.tmp", "held");
            std::filesystem::permissions(leftover, std::filesystem::perms::owner_read);
        }
        for (const char* text : {"new", "newer"}) {
            settings_.request.findText = text;
            EXPECT_NE(save().find("\n"s + text + "\n"), std::string::npos);
        }
        EXPECT_TRUE(folder ? std::filesystem::is_directory(leftover)
                           : readBytes(leftover) == "held");
        std::filesystem::permissions(leftover, std::filesystem::perms::owner_all);
        std::filesystem::remove(leftover);
    }

    const std::string before = readBytes(file());
    std::string reason;
    {
        SCOPED_TRACE("a folder given as the file is not replaced");
        const std::string blocked = tree_.mkdir("blocked/TarvoSearch.txt");
        tree_.write("blocked/TarvoSearch.txt/inside", "x");
        EXPECT_FALSE(saveSettings(blocked.c_str(), false, settings_, memory_, &reason));
        EXPECT_EQ(reason, kNotRegularFile);
        EXPECT_EQ(readBytes(blocked + kPathSeparator + "inside"), "x");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree_.path("blocked")), {}), 1);
    }
    {
        SCOPED_TRACE("a folder that does not exist");
        reason.clear();
        const std::string nowhere = tree_.path("no/such/folder/TarvoSearch.txt");
        EXPECT_FALSE(saveSettings(nowhere.c_str(), false, settings_, memory_, &reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_FALSE(std::filesystem::exists(tree_.path("no")));
    }
    EXPECT_FALSE(saveSettings(nullptr, false, settings_, memory_));
    EXPECT_EQ(readBytes(file()), before);
}

}  // namespace
}  // namespace tarvo
