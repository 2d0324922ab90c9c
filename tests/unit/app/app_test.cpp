#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstring>
#endif
#include "app/clock.h"
#include "app/settings_file.h"
#include "app/settings_file_system.h"
#include "app/status_line.h"
#include "engine/file_memory.h"
#include "support/temp_tree.h"

namespace tarvo {
using namespace std::string_literals;
using testing::readBytes;
namespace fs = std::filesystem;

const std::string kHeader = "Tarvo Search, version 1.0\n";
void toCrLf(std::string& text) {
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
        text.insert(at, 1, '\r');
}
const std::string kDefaultHead =
    kHeader + "-2147483648 0 -2147483648 0\n\n\n.c;.cpp;.cxx;.h\n\n1 1 1 1 1 1 1\n\n";

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() { settings_.lineEnds = LineEnds::Lf; }
    bool load(const std::string& bytes) {
        tree_.write("TarvoSearch.txt", bytes);
        return loadSettings(file().c_str(), 1024, 768, settings_, memory_, nullptr, foreign_);
    }
    std::string file() const { return tree_.path("TarvoSearch.txt"); }
    std::string save(bool offset = false) {
        EXPECT_TRUE(saveSettings(file().c_str(), offset, settings_, memory_, nullptr, foreign_));
        return readBytes(file());
    }
    size_t entries(const std::string& folder) const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
    }
    testing::TempTree tree_;
    Settings settings_;
    FileMemory memory_;
    ForeignRows* foreign_ = nullptr;
};

// Defaults for a missing or foreign file (reported) and from the first unreadable number on.
TEST_F(SettingsFileTest, DefaultsAndPlacementBounds) {
    const std::string head = kDefaultHead.substr(0, kDefaultHead.find("1 1 1"));
    const std::pair<std::string, std::string> cases[] = {
        {"", kDefaultHead},
        {"Tarvo Search, version 1.0 \n0 0 100 100\nfoo\n", ""},
        {"Tarvo Search, version 1.1\n0 0 100 100\nfoo\n", ""},
        {"Tarvo Search, version 1.0\0\n0 0 100 100\n"s, ""},
        {"\x01\x02\x03\0\xff\n\n\n"s, ""},
        {head + "2 0 0 0 0 0 0 9 9\n", head + "2 0 0 0 0 0 0\n\n"},
        {head + "-7 5 x 0 0 0 0\n", head + "-7 5 1 1 1 1 1\n\n"},
        {head + "99999999999 0\n", kDefaultHead},
        {head + "18446744073709551621 0\n", kDefaultHead},
        {kHeader + "100 80 900 680\nfoo bar\nc:\\src",
         kHeader + "100 80 900 680\nfoo bar\nc:\\src\n" +
             kDefaultHead.substr(kDefaultHead.find(".c;"))}};
    for (const auto& [bytes, saved] : cases) {
        SCOPED_TRACE(bytes);
        settings_.request.findText = "left over";
        if (bytes.starts_with(kHeader)) memory_.add("stale", 5);
        EXPECT_EQ(load(bytes), !saved.empty());
        EXPECT_EQ(settings_.lastFindText, settings_.request.findText);
        settings_.lineEnds = LineEnds::Lf;
        EXPECT_EQ(save(), saved.empty() ? kDefaultHead : saved);
    }
    EXPECT_TRUE(loadSettings(tree_.path("absent.txt").c_str(), 1024, 768, settings_, memory_) &&
                settings_.request.findText.empty());
    EXPECT_FALSE(saveSettings(nullptr, false, settings_, memory_));
    // A window must show 100 pixels on the screen; New Window saves it offset.
    const std::pair<const char*, bool> placements[] = {
        {"0 0 100 100", true},     {"-1 0 500 500", false},  {"924 0 1024 768", true},
        {"925 0 1024 768", false}, {"0 0 1024 769", false},  {"0 668 1024 768", true},
        {"0 669 1024 768", false}, {"0 0 99 100", false},    {"0 0 1025 100", false},
        {"0 0 100", false},        {"a b c d", false},       {"0 0 4294967396 100", false},
        {"500 0 200 300", false},  {"100 0 100 100", false}, {"  10  20 300 400 junk", true}};
    for (const auto& [line, taken] : placements) {
        load(kHeader + line + "\nfind\n");
        EXPECT_EQ(settings_.windowRect.left != kDefaultPlacement, taken) << line;
        EXPECT_EQ(settings_.request.findText, "find") << line;
    }
    EXPECT_EQ(save().substr(kHeader.size(), 15), "10 20 300 400\nf");
    EXPECT_EQ(save(true).substr(kHeader.size(), 15), "35 45 325 425\nf");
}

// Written back byte for byte, either line end, keyed lines too; only what reads back is written.
TEST_F(SettingsFileTest, RoundTripAndWhatCannotBeWritten) {
    std::string bytes =
        "Tarvo Search, version 1.0\n10 20 1000 700\n  foo \"bar baz\"\tqux\xe9\rx\nc:\\src; "
        "d:\\other dir\n\n.obj;.exe\n3 0 1 0 1 0 -1\n\neditor=\"C:\\Program Files\\ed.exe\" "
        "-n%line% \"%path%\"\ncolumns=52,380\nsplit=640\nmaximized=1\ntab-width=8\nfind=foo "
        "\"bar baz\"\nfind=older\npath=c:\\src; d:\\other dir\nskip-ignored=1\ninclude=*.c;.h; x\n"
        "skip-folders=node_modules;.vs\nlater-key2=kept as read\n1000 /p/a b.c\n990 /p/\xff.c\n990 "
        "/p/x.c\n1 " +
        std::string(9997, 'z') + "\n";
    for (const char* end : {"LF", "CR LF"}) {
        load(bytes);
        EXPECT_EQ(save(), bytes) << end;
        toCrLf(bytes);
    }
    const Settings& s = settings_;
    EXPECT_EQ(
        std::make_tuple(memory_.count(), s.columnWidths->rank, s.columnWidths->file, *s.listShare,
                        s.maximized, *s.tabWidth, s.request.options.skipIgnoredFiles,
                        s.request.includeList, s.request.skipFolders),
        std::make_tuple(4, 52, 380, 640, true, 8, true, "*.c;.h; x"s, "node_modules;.vs"s));
    // Any number but 0 is on; toggled, an option is written as 0 or 1.
    settings_.request.options.cppHeuristics = false;
    EXPECT_NE(save().find("\n3 0 1 0 1 0 0\r\n"), std::string::npos);
    settings_.request.options.recursive = true;
    EXPECT_NE(save().find("\n3 1 1 0 1 0 0\r\n"), std::string::npos);
    settings_.lineEnds = LineEnds::Lf;
    const std::string longLine(100000, 'x');
    load(kHeader + "0 0 100 100\n" + longLine + "\npa\0th\n"s + longLine +
         "\n.h\n1 0 0 0 0 0 0\n\n7 c:\\my dir\\f.c\n12\nabc 5\n  8 lead\n9 c:\\my dir\\f.c\n" +
         "-2147483648 neg\n4 \n99999999999 big\n5 with\0nul\n0 zero\n6 " + longLine +
         "\neditor=" + longLine + "\nlater=" + longLine + "\nfind=" + longLine + "\nfind=" +
         std::string(kMaxTextLength, 'x') + "\nfind=" + std::string(kMaxTextLength + 1, 'x') +
         "\nfind=a\0b\nfind=\npath=  \npath=p1\npath=p1\nskip-ignored=0\nskip-folders="s +
         longLine +
         "\ncolumns=0,400\ncolumns=40,400x\ncolumns=40\nsplit=1001\nsplit=-1\nmaximized=yes\n"
         "tab-width=0\ntab-width=17\n6 last"s);
    EXPECT_FALSE(settings_.columnWidths || settings_.listShare || settings_.maximized ||
                 settings_.tabWidth);
    EXPECT_EQ(settings_.request.pathText + "|" + std::to_string(memory_.find("neg")), "pa|2");
    settings_.request.findText += "y";
    settings_.request.pathText += "\nsecond";
    settings_.request.excludeList = "a\0b"s;
    memory_.add(std::string(kMaxTextLength, 'p').c_str(), 50);
    memory_.add("new\nline", 40);
    memory_.add("zero", 0);
    const std::string cut(kMaxTextLength, 'x');
    EXPECT_EQ(save(), kHeader + "0 0 100 100\n" + cut + "\npa\n" + cut +
                          "\na\n1 0 0 0 0 0 0\n\neditor=" + cut + "\nfind=" + cut +
                          "\npath=p1\nskip-folders=" + cut +
                          "\n8 lead\n7 c:\\my dir\\f.c\n6 last\n");
    settings_.request.findText.clear();
    load(save());
    EXPECT_EQ(settings_.request.findText + "|" + settings_.request.pathText, "|pa");
}

// A run's own rows replaced, the others' (and lines that are no rows) kept byte for byte.
TEST_F(SettingsFileTest, TheRowsARunDoesNotOwnStayAsTheyWere) {
    ForeignRows foreign;
    foreign.owned = [](std::string_view path, const Settings& read) {
        return path.starts_with(read.request.pathText);
    };
    const std::string head =
        kHeader + "0 0 100 100\n\n/mine/\n.c\n\n1 1 1 1 1 1 1\n\neditor=x\nfind=9 /mine/c\njunk\n";
    const std::string theirs =
        "0 /theirs/zero\n1 /theirs/" + std::string(100000, 'x') + "\n-1 /theirs/bin\n";
    std::string bytes = head + "7 /mine/a\n" + theirs + "9 /mine/b\n-2 /theirs/last";
    std::string saved = head + "9 /mine/b\n7 /mine/a\n" + theirs + "-2 /theirs/last\n";
    foreign_ = &foreign;
    for (const char* end : {"LF", "CR LF"}) {
        ASSERT_TRUE(load(bytes));
        EXPECT_EQ(std::make_tuple(memory_.count(), memory_.path(0)),
                  std::make_tuple(2, "/mine/b"s));
        EXPECT_EQ(save(), saved) << end;
        toCrLf(bytes), toCrLf(saved);
    }
    std::string rows = head + "5 /mine/low\n";
    for (int32_t i = 0; i < kMaxRememberedFiles; ++i)
        rows += "9 /mine/" + std::to_string(i) + "\n";
    ASSERT_TRUE(load(rows));
    EXPECT_EQ(std::make_tuple(memory_.count(), memory_.find("/mine/low"), memory_.path(0)),
              std::make_tuple(kMaxRememberedFiles, -1, "/mine/0"s));
}

#ifndef _WIN32
// Whether `step`, run in a child process that then ends, returned true.
bool trueInChild(const std::function<bool()>& step) {
    const pid_t child = fork();
    if (child == 0) _exit(step() ? 0 : 1);
    int status = -1;
    waitpid(child, &status, 0);
    return status == 0;
}

// A killed save or a failed write (a file-size limit) leaves the old file whole; leftovers go.
TEST_F(SettingsFileTest, ASaveKilledHalfWayLeavesThePreviousFileWhole) {
    const std::string previous = save();
    ASSERT_TRUE(trueInChild([&] {
        auto* killed = new FileReplacement;  // never closed: the process ends as if killed
        return killed->open(file().c_str()) && killed->write("Tarvo", 5);
    }));
    EXPECT_EQ(readBytes(file()), previous);
    settings_.request.findText = "new";
    const std::string saved = save();
    EXPECT_EQ(entries(tree_.root()), 2u);
    for (const fs::directory_entry& entry : fs::directory_iterator(tree_.root()))
        fs::last_write_time(entry, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    EXPECT_EQ(save(), saved);
    EXPECT_EQ(entries(tree_.root()), 1u);
    for (int i = 0; i < 1000; ++i)
        memory_.add(("/p/" + std::to_string(i)).c_str(), 5);
    EXPECT_TRUE(trueInChild([&] {
        signal(SIGXFSZ, SIG_IGN);  // the write fails instead of the process ending
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4096;
        std::string reason;
        return setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
               !saveSettings(file().c_str(), false, settings_, memory_, &reason) &&
               reason == std::strerror(EFBIG);
    }));
    EXPECT_EQ(readBytes(file()), saved);
    EXPECT_EQ(entries(tree_.root()), 1u) << "a temporary file was left";
}

// Links followed, modes kept, no other kind read or replaced.
TEST_F(SettingsFileTest, LinksModesAndFilesThatAreNotRegular) {
    const std::string target = tree_.write("real/target.txt", kHeader);
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    fs::create_symlink("real/target.txt", file());
    settings_.request.findText = "new";
    save();
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_NE(readBytes(target).find("\nnew\n"), std::string::npos);
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(tree_.path("real")), 1u);
    std::string reason;
    ASSERT_EQ(mkfifo(tree_.path("fifo").c_str(), 0600), 0);
    tree_.mkdir("folder");
    fs::create_symlink("/dev/zero", tree_.path("zero-link"));
    for (const char* name : {"fifo", "folder", "zero-link"}) {
        const std::string path = tree_.path(name);
        EXPECT_TRUE(trueInChild([&] {
            alarm(10);
            return !loadSettings(path.c_str(), 1024, 768, settings_, memory_, &reason) &&
                   reason == kNotRegularFile;
        })) << name;
    }
    EXPECT_FALSE(saveSettings(tree_.path("fifo").c_str(), false, settings_, memory_, &reason));
    EXPECT_EQ(reason, kNotRegularFile);
    EXPECT_EQ(fs::status(tree_.path("fifo")).type(), fs::file_type::fifo);
    EXPECT_EQ(entries(tree_.root()), 5u) << "a temporary file was left";
}
#endif

// Counts past 2^32, times truncated to the millisecond, what was left out in either number.
TEST(StatusLine, CountsDurationsTheWholeLineAndTheRunsClock) {
    const std::pair<double, const char*> durations[] = {
        {0.0, "0:00.000"},        {65.5, "1:05.500"}, {1.9996, "0:01.999"},   {59.9999, "0:59.999"},
        {3600.25, "1:00:00.250"}, {-3.0, "0:00.000"}, {1e12, "596:31:23.647"}};
    for (const auto& [seconds, text] : durations)
        EXPECT_EQ(formatDuration(seconds), text);
    const SearchStats stats{2200000123, 3, 2160000000, 5000000000};
    const std::string counted =
        "2,200,000,123 Matches     Files: 3   Lines: 2,160,000,000   Bytes: 5,000,000,000   Time: ";
    RunTimes times{10.0, 10.0};
    EXPECT_EQ(statusLineText(stats, times, 75.5, true), counted + "1:05.500     (Searching...)");
    times.end = 12.25;
    EXPECT_EQ(statusLineText(stats, times, 99.0, false), counted + "0:02.250");
    // File-name entries are no lines.
    ResultStore results;
    results.addResult(5, "a.c", 1, "x");
    results.addResult(4, "a.c", 2, "x");
    results.addResult(-1, "x.c", 0, "");
    EXPECT_EQ(listedLinesText(2, results), "");
    EXPECT_EQ(listedLinesText(3, results), "the best 3 are listed");
    EXPECT_EQ(pathsTooLongText(0) + skippedByFiltersText(0), "");
#ifdef _WIN32
    const std::string limit = " longer than 32,767 characters ";
#else
    const std::string limit = " longer than 4,095 bytes ";
#endif
    EXPECT_EQ(pathsTooLongText(1), "1 path" + limit + "was passed over");
    EXPECT_EQ(pathsTooLongText(1234), "1,234 paths" + limit + "were passed over");
    EXPECT_EQ(skippedByFiltersText(1), "1 file or folder skipped by filters");
    // The clock stands still from the first stop to the last resume; a lone resume does nothing.
    static double source = 0.0;
    RunClock clock;
    clock.source = [] { return source; };
    enum Step { Read, Stop, Resume };
    const std::tuple<double, Step, double> steps[] = {
        {2.0, Read, 2.0},    {3.0, Stop, 3.0},    {11.0, Read, 3.0}, {11.0, Stop, 3.0},
        {12.0, Resume, 3.0}, {13.0, Resume, 3.0}, {14.0, Read, 4.0}, {15.0, Resume, 5.0},
        {16.0, Stop, 6.0},   {20.0, Resume, 6.0}, {21.5, Read, 7.5}};
    for (const auto& [at, step, reads] : steps) {
        SCOPED_TRACE(at);
        source = at;
        if (step == Stop) clock.stop();
        if (step == Resume) clock.resume();
        EXPECT_EQ(clock.now(), reads);
    }
    {
        const ClockStopped stopped(clock);
        source = 30.0;
        EXPECT_EQ(clock.now(), 7.5);
    }
    source = 31.0;
    EXPECT_EQ(clock.now(), 8.5);
}

}  // namespace tarvo
