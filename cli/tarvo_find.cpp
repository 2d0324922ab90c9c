// tarvo-find: the terminal front end. It runs the window's engine over the
// same request, with the store doing the ranking, and prints the results in
// display order. With --settings it shares the window's file memory. With
// --files it prints what the walk would hand the scanner.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

#include "app/clock.h"
#include "app/settings_file.h"
#include "app/status_line.h"
#include "app/whole_lines.h"
#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/matching_files.h"
#include "cli/result_printer.h"
#include "engine/directory_walk.h"
#include "engine/file_memory.h"
#include "engine/path_list.h"
#include "engine/scan_file_reader.h"
#include "engine/search_run.h"
#ifdef _WIN32
#include "engine/system_path_win32.h"
#endif
#include "results/result_store.h"

namespace tarvo {
namespace {

// The shell's status for a run ended by Ctrl+C (128 + SIGINT).
constexpr int kInterruptedStatus = 130;

// A usage error, a settings file that cannot be used, too few files allowed
// open, or output that was lost.
constexpr int kUsageErrorStatus = 2;

// The fewest files a search needs open at once: the standard streams, the
// settings file, a listing for each folder level of a tree a dozen deep and
// the file being read. With more, running short of them only makes the run
// let go of the folders it holds open to read their files by name.
constexpr int32_t kLeastOpenFiles = 16;

// The output buffer of --files into a pipe or a file: a write call per 64 KiB.
constexpr size_t kFileListBuffer = 64 * 1024;

volatile std::sig_atomic_t interrupted = 0;

// The first Ctrl+C stops the search: what was found is printed and
// remembered. A second one means the user will not wait for that.
extern "C" void onInterrupt(int) {
    if (interrupted) std::_Exit(kInterruptedStatus);
    interrupted = 1;
    std::signal(SIGINT, onInterrupt);  // Windows resets the handler at each signal
}

// The terminal has no message queue: the pump only notices Ctrl+C, which
// stops the run like F6 does, so the results so far are still printed and
// credited.
class TerminalHost : public SearchHost {
public:
    void pumpMessages() override {
        if (interrupted) state_ = RunState::Idle;
    }
    RunState runState() const override { return state_; }
    void reportError(const char* message) override { std::fprintf(stderr, "%s\n", message); }
    void requestRefresh() override {}

    void start() { state_ = RunState::Running; }

private:
    RunState state_ = RunState::Idle;
};

// Standard output with every write checked, so a script never takes lost
// results for a finished search. The first failure ends the printing; its
// reason is said once, when the output is closed.
class StandardOutput {
public:
    bool failed() const { return !reason_.empty(); }

    void write(std::string_view bytes) {
        if (failed() || bytes.empty()) return;
        errno = 0;
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) fail();
    }

    // Flushes and closes stdout: a full disk or a closed descriptor may show
    // only there. False, with the message printed, when any write failed.
    bool close() {
        errno = 0;
        if (!failed() && (std::fflush(stdout) != 0 || std::ferror(stdout))) fail();
        errno = 0;
        if (std::fclose(stdout) != 0 && !failed()) fail();
        if (failed()) std::fprintf(stderr, "tarvo-find: write error: %s\n", reason_.c_str());
        return !failed();
    }

private:
    // A stream error without a system error (none is known) counts as EIO.
    void fail() { reason_ = std::strerror(errno != 0 ? errno : EIO); }

    std::string reason_;
};

void applyOverrides(const CliOptions& cli, Settings& settings) {
    SearchOptions& options = settings.request.options;
    auto take = [](const auto& given, auto& target) {
        if (given) target = *given;
    };
    take(cli.recursive, options.recursive);
    take(cli.skipBinaryFiles, options.skipBinaryFiles);
    take(cli.searchFileNames, options.searchFileNames);
    take(cli.caseSensitiveBonus, options.caseSensitiveBonus);
    take(cli.wholeWordBonus, options.wholeWordBonus);
    take(cli.cppHeuristics, options.cppHeuristics);
    take(cli.sortMode, settings.sortMode);
    take(cli.skipIgnoredFiles, options.skipIgnoredFiles);
    take(cli.excludeList, settings.request.excludeList);
    take(cli.highlightList, settings.request.highlightList);
    take(cli.includeList, settings.request.includeList);
    take(cli.skipFolders, settings.request.skipFolders);
    take(cli.tabWidth, settings.tabWidth);
}

// The limits are the window's too, where they pass silently; a script
// should know that its search was not the one it asked for.
void reportLimits(const TermLimitsMet& terms, bool rootsDropped) {
    if (terms.termsDropped)
        std::fprintf(stderr, "tarvo-find: only the first %d terms are used\n", kMaxTerms);
    if (terms.termSplit)
        std::fprintf(stderr,
                     "tarvo-find: terms longer than %d bytes are split into several terms\n",
                     kMaxTermLength);
    if (rootsDropped)
        std::fprintf(stderr, "tarvo-find: only the first %d roots are searched\n", kMaxRoots);
}

// The rows to print, in display order, at most `top` of them: every kept
// result, or with -l each file with a result once, by its best line.
std::vector<const ResultEntry*> printedRows(ResultStore& results, const MatchingFiles& files,
                                            const CliOptions& cli) {
    std::vector<const ResultEntry*> rows;
    if (cli.filesWithMatches) {
        rows = files.inDisplayOrder(results.sortMode());
    } else {
        results.ensureDisplayOrder();
        for (int32_t row = 0; row < results.count(); ++row)
            rows.push_back(&results.displayEntry(row));
    }
    if (cli.top >= 0 && rows.size() > static_cast<size_t>(cli.top)) rows.resize(cli.top);
    return rows;
}

// The store keeps the best kMaxResults lines, as the window's list does. A
// script is told when lines were left out and that changed what it got.
void reportCap(const SearchStats& stats, const ResultStore& results, const CliOptions& cli) {
    if (cli.filesWithMatches || (cli.top >= 0 && cli.top <= results.count())) return;
    if (stats.matches <= keptLineCount(results)) return;
    std::fprintf(stderr, "tarvo-find: %s matching lines; the best %s are printed\n",
                 formatCount(stats.matches).c_str(), formatCount(results.count()).c_str());
}

void printResults(ResultStore& results, const MatchingFiles& files, const TermTable& terms,
                  const CliOptions& cli, const Settings& settings, StandardOutput& out) {
    const ConsoleOutput output = prepareStandardOutput();
    PrintStyle style;
    style.terminal = output.terminal;
    style.color = cli.format != OutputFormat::Tsv && cli.format != OutputFormat::Jsonl &&
                  !cli.filesWithMatches &&
                  useColor(cli.color, output.terminal, output.colorCodesShow,
                           std::getenv("NO_COLOR"), std::getenv("TERM"));
    style.rank = cli.rank;
    style.nullAfterPath = cli.nullAfterPath;
    style.tabWidth = tabWidthOf(settings);

    const std::vector<const ResultEntry*> rows = printedRows(results, files, cli);
    // The store holds 150 bytes of each line (its start, or an excerpt
    // around a term further in). TSV and JSONL carry the whole line, and so
    // do the text and vimgrep lines into a pipe; on a terminal these show
    // the stored text. Vimgrep's column is where the scan found the first
    // term in the whole line, whichever text is shown.
    const bool fields = cli.format == OutputFormat::Tsv || cli.format == OutputFormat::Jsonl;
    const bool column = cli.format == OutputFormat::Vimgrep;
    const bool wholeText = fields || !style.terminal;
    std::vector<LineSpan> spans;
    if (!cli.filesWithMatches && wholeText) spans = findWholeLines(rows);
    std::string record;
    for (size_t i = 0; i < rows.size() && !out.failed(); ++i) {
        const ResultEntry& entry = *rows[i];
        if (cli.filesWithMatches) {
            record.clear();
            appendPathRecord(record, entry.path, style);
            out.write(record);
            continue;
        }
        const std::string line = spans.empty() ? entry.lineText : wholeLineText(entry, spans[i]);
        std::string record;
        if (fields) {
            record = cli.format == OutputFormat::Tsv ? formatTsv(entry, lineBody(line))
                                                     : formatJsonl(entry, lineBody(line));
            // Escaped fields hold no tab or line end: the separators stay.
            if (style.terminal) record = showControls(record);
        } else {
            record = formatMatch(
                entry, wholeText ? line : entry.lineText,
                column ? std::optional(vimgrepColumn(entry, line, terms)) : std::nullopt, terms,
                style);
        }
        record += '\n';
        out.write(record);
    }
}

// The status line as the window shows it once a search has ended, with
// what the filters left out after the counts.
void printStats(const SearchStats& stats, const RunTimes& times) {
    std::string line = statusLineText(stats, times, times.end, false);
    const std::string skipped = skippedByFiltersText(stats.skippedByFilters);
    if (!skipped.empty()) line += "     " + skipped;
    std::fprintf(stderr, "%s\n", line.c_str());
}

// How a run ended, and the exit status that says it, chosen in one place:
// partial results must not pass for a complete search, nor lost output or
// a memory that was not kept for a finished one.
struct Ending {
    bool outputWritten = true;
    bool memorySaved = true;
    bool found = false;  // a result, or with --files a file, was printed
};

int exitStatus(const Ending& ending) {
    if (interrupted) {
        std::fputs("tarvo-find: interrupted\n", stderr);
        return kInterruptedStatus;
    }
    if (!ending.outputWritten || !ending.memorySaved) return kUsageErrorStatus;
    return ending.found ? 0 : 1;
}

// What a finished walk tells on stderr after the output: paths passed over,
// then with --stats the status line.
void reportWalk(const SearchStats& stats, const RunTimes& times, const CliOptions& cli) {
    const std::string passedOver = pathsTooLongText(stats.pathsTooLong);
    if (!passedOver.empty()) std::fprintf(stderr, "tarvo-find: %s\n", passedOver.c_str());
    if (cli.stats) printStats(stats, times);
}

// --files: each file the search would read, once, in the walk's order, none
// of them opened (the walk's read-ahead stays off). The remembered files are
// not read first, and the settings file is only read. With --stats, Files
// counts the files printed.
Ending printFiles(const SearchRequest& request, const std::vector<std::string>& roots,
                  const CliOptions& cli) {
    TerminalHost host;
    SearchStats stats;
    StandardOutput out;
    PrintStyle style;
    style.terminal = prepareStandardOutput().terminal;
    style.nullAfterPath = cli.nullAfterPath;
    // A list may run to hundreds of thousands of lines: into a pipe or a
    // file it goes in large writes rather than the stream's usual 4 KiB.
    // The buffer is given: the C library would size its own by the file
    // alone. It outlives the stream, closed before the return.
    std::vector<char> listBuffer;
    if (!style.terminal) {
        listBuffer.resize(kFileListBuffer);
        std::setvbuf(stdout, listBuffer.data(), _IOFBF, listBuffer.size());
    }
    // The walk meets a path twice only through two roots, one of them the
    // other or under it: only then are the paths printed kept, to leave out
    // the second.
    const bool rootsOverlap = std::any_of(roots.begin(), roots.end(), [&](const std::string& a) {
        return std::count_if(roots.begin(), roots.end(),
                             [&](const std::string& b) { return liesUnderRoot(b, a, true); }) > 1;
    });
    std::unordered_set<std::string> printed;
    std::string record;
    DirectoryWalk walk(
        host, request, stats,
        [&](const char* path, intptr_t, const char*) {
            host.pumpMessages();  // Ctrl+C stops the walk
            if (out.failed() || (rootsOverlap && !printed.insert(path).second)) return;
            ++stats.files;
            record.clear();
            appendPathRecord(record, path, style);
            out.write(record);
        },
        // No scanner holds descriptors to let go of: a folder is tried again.
        [](const std::function<void()>& retry) { retry(); }, false);
    std::signal(SIGINT, onInterrupt);
    RunTimes times;
    times.start = elapsedSeconds();
    host.start();
    walk.startSearch();
    for (const std::string& root : roots)
        walk.walkDirectory(root, 0);
    times.end = elapsedSeconds();
    Ending ending;
    ending.outputWritten = out.close();
    ending.found = stats.files > 0;
    reportWalk(stats, times, cli);
    return ending;
}

// One scanner per processor core unless told otherwise; a count past what
// can help is lowered, and the user told so.
int32_t scannerThreads(int32_t asked) {
    const int32_t threads =
        threadCount(asked, static_cast<int32_t>(std::thread::hardware_concurrency()));
    if (asked > threads) {
        std::fprintf(stderr, "tarvo-find: -j %d is more than can help; %d files are read at once\n",
                     asked, threads);
    }
    return threads;
}

bool enoughOpenFiles() {
    if (openFilesAllowed() >= kLeastOpenFiles) return true;
    std::fprintf(stderr,
                 "tarvo-find: only %d files may be open at once (ulimit -n); a search needs %d\n",
                 openFilesAllowed(), kLeastOpenFiles);
    return false;
}

// The settings file as --settings names it, read into `stored` and
// `memory`. Only the rows of files this run's roots reach are its own, so
// the remembered files read first all lie under its roots; the others
// belong to other searches and go back as they were, neither read nor
// decayed (`foreign`). False, said, when the file cannot be used.
bool readSettings(const CliOptions& cli, const std::vector<std::string>& roots, Settings& stored,
                  FileMemory& memory, ForeignRows& foreign) {
    foreign.owned = [&cli, &roots](std::string_view path, const Settings& read) {
        const bool recursive = cli.recursive.value_or(read.request.options.recursive);
        return std::any_of(roots.begin(), roots.end(), [&](const std::string& root) {
            return liesUnderRoot(path, root, recursive);
        });
    };
    if (cli.settingsFile.empty()) return true;
    std::string refusal;
    if (loadSettings(cli.settingsFile.c_str(), INT32_MAX, INT32_MAX, stored, memory, &refusal,
                     &foreign)) {
        return true;
    }
    std::fprintf(stderr, "tarvo-find: %s exists but is %s; not touching it\n",
                 cli.settingsFile.c_str(), refusal.c_str());
    return false;
}

// The file memory written back into the settings as read, which stay
// untouched apart from it, so the window loses nothing it relies on.
// Saved before printing, so a reader that stops early (SIGPIPE) cannot lose
// the memory; a failure is said after the results.
bool saveMemory(const CliOptions& cli, const Settings& stored, const FileMemory& memory,
                const ForeignRows& foreign, std::string& reason) {
    return cli.settingsFile.empty() ||
           saveSettings(cli.settingsFile.c_str(), false, stored, memory, &reason, &foreign);
}

// The search and its output: run, keep the memory, print, then what stderr
// has to say about it.
Ending searchAndPrint(const CliOptions& cli, const Settings& stored, const Settings& settings,
                      FileMemory& memory, const ForeignRows& foreign, bool rootsDropped) {
    TerminalHost host;
    ResultStore results;
    results.restoreSortMode(settings.sortMode);
    MatchingFiles files(results);
    SearchRun searchRun(host, settings.request, memory,
                        cli.filesWithMatches ? static_cast<ResultSink&>(files) : results,
                        scannerThreads(cli.threads));
    std::signal(SIGINT, onInterrupt);
    RunTimes times;
    times.start = elapsedSeconds();
    host.start();
    searchRun.runSearch();
    times.end = elapsedSeconds();
    reportLimits(searchRun.terms().limitsMet(), rootsDropped);

    Ending ending;
    std::string reason;
    ending.memorySaved = saveMemory(cli, stored, memory, foreign, reason);
    StandardOutput out;
    printResults(results, files, searchRun.terms(), cli, settings, out);
    ending.outputWritten = out.close();
    ending.found = results.count() > 0;
    if (!ending.memorySaved) {
        std::fprintf(stderr, "tarvo-find: can't save settings %s: %s\n", cli.settingsFile.c_str(),
                     reason.c_str());
    }
    reportCap(searchRun.stats(), results, cli);
    reportWalk(searchRun.stats(), times, cli);
    return ending;
}

int run(const CliOptions& cli) {
    if (!enoughOpenFiles()) return kUsageErrorStatus;
    const std::string pathText =
        cli.pathText.empty() ? cutToTextLimit(currentDirectory()) : cli.pathText;
    bool rootsDropped = false;
    const std::vector<std::string> roots = parsePathList(pathText, &rootsDropped);

    Settings stored;
    FileMemory memory;
    ForeignRows foreign;
    if (!readSettings(cli, roots, stored, memory, foreign)) return kUsageErrorStatus;
    Settings settings = stored;
    applyOverrides(cli, settings);
    settings.request.findText = cli.findText;
    settings.request.pathText = pathText;

    if (cli.listFiles) {
        reportLimits({}, rootsDropped);
        return exitStatus(printFiles(settings.request, roots, cli));
    }
    return exitStatus(searchAndPrint(cli, stored, settings, memory, foreign, rootsDropped));
}

// The program with its command line's words in UTF-8, its name first.
int tarvoFind(const std::vector<std::string>& words) {
    prepareHeap();
    prepareConsole();
    std::vector<const char*> wordPointers;
    for (const std::string& word : words)
        wordPointers.push_back(word.c_str());
    CliParse parse = parseCommandLine(static_cast<int>(wordPointers.size()), wordPointers.data());
    if (!parse.error.empty()) {
        std::fprintf(stderr, "tarvo-find: %s\n\n%s", parse.error.c_str(), usageText().c_str());
        return kUsageErrorStatus;
    }
    if (parse.options.help || parse.options.version) {
        StandardOutput out;
        out.write(parse.options.help ? usageText()
                                     : "tarvo-find (Tarvo Search, version " TARVO_VERSION ")\n");
        return out.close() ? 0 : kUsageErrorStatus;
    }
    return run(parse.options);
}

}  // namespace
}  // namespace tarvo

#ifdef _WIN32
// The C runtime splits the wide command line (linked with -municode), so terms and paths in any
// script arrive whatever the system's code page.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> words;
    for (int i = 0; i < argc; ++i)
        words.push_back(tarvo::utf8Of(argv[i]));
    return tarvo::tarvoFind(words);
}
#else
int main(int argc, char** argv) {
    return tarvo::tarvoFind(std::vector<std::string>(argv, argv + argc));
}
#endif
