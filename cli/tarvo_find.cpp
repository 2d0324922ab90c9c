// tarvo-find: the terminal front end. It runs the window's engine over the
// same request, with the store doing the ranking, and prints the results in
// display order. With --settings it shares the window's file memory.
#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "app/clock.h"
#include "app/settings_file.h"
#include "app/status_line.h"
#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/result_printer.h"
#include "cli/whole_lines.h"
#include "engine/file_memory.h"
#include "engine/path_list.h"
#include "engine/search_run.h"
#include "results/result_store.h"

namespace tarvo {
namespace {

// The shell's status for a run ended by Ctrl+C (128 + SIGINT).
constexpr int kInterruptedStatus = 130;

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

void applyOverrides(const CliOptions& cli, Settings& settings) {
    SearchOptions& options = settings.request.options;
    auto take = [](const std::optional<int32_t>& given, int32_t& target) {
        if (given) target = *given;
    };
    take(cli.recursive, options.recursive);
    take(cli.skipBinaryFiles, options.skipBinaryFiles);
    take(cli.searchFileNames, options.searchFileNames);
    take(cli.caseSensitiveBonus, options.caseSensitiveBonus);
    take(cli.wholeWordBonus, options.wholeWordBonus);
    take(cli.cppHeuristics, options.cppHeuristics);
    take(cli.sortMode, settings.sortMode);
    if (cli.excludeList) settings.request.excludeList = *cli.excludeList;
    if (cli.highlightList) settings.request.highlightList = *cli.highlightList;
}

// The limits are the window's too, where they pass silently; a script
// should know that its search was not the one it asked for.
void reportLimits(const SearchRequest& request) {
    TermTable terms;
    const TermLimitsMet limits = terms.parseTerms(request.findText);
    bool rootsDropped = false;
    parsePathList(request.pathText, &rootsDropped);
    if (limits.termsDropped)
        std::fprintf(stderr, "tarvo-find: only the first %d terms are used\n", kMaxTerms);
    if (limits.termSplit)
        std::fprintf(stderr,
                     "tarvo-find: terms longer than %d bytes are split into several terms\n",
                     kMaxTermLength);
    if (rootsDropped)
        std::fprintf(stderr, "tarvo-find: only the first %d roots are searched\n", kMaxRoots);
}

// The rows to print, in display order: every result, or each file once at
// its first row; at most `top` of them.
std::vector<const ResultEntry*> printedRows(ResultStore& results, const CliOptions& cli) {
    results.ensureDisplayOrder();
    std::vector<const ResultEntry*> rows;
    std::unordered_set<std::string> files;
    for (int32_t row = 0; row < results.count(); ++row) {
        if (cli.top >= 0 && static_cast<int32_t>(rows.size()) >= cli.top) break;
        const ResultEntry& entry = results.displayEntry(row);
        if (cli.filesWithMatches && !files.insert(entry.path).second) continue;
        rows.push_back(&entry);
    }
    return rows;
}

void printResults(ResultStore& results, const TermTable& terms, const CliOptions& cli) {
    const ConsoleOutput output = prepareStandardOutput();
    PrintStyle style;
    style.terminal = output.terminal;
    style.color = cli.format != OutputFormat::Tsv && cli.format != OutputFormat::Jsonl &&
                  !cli.filesWithMatches &&
                  useColor(cli.color, output.terminal, output.colorCodesShow,
                           std::getenv("NO_COLOR"), std::getenv("TERM"));
    style.rank = cli.rank;
    style.column = cli.format == OutputFormat::Vimgrep;
    style.nullAfterPath = cli.nullAfterPath;

    const std::vector<const ResultEntry*> rows = printedRows(results, cli);
    // A terminal shows the stored texts; a pipe gets whole lines.
    const bool lineFormat = cli.format == OutputFormat::Text || cli.format == OutputFormat::Vimgrep;
    std::vector<LineSpan> spans;
    if (lineFormat && !cli.filesWithMatches && !style.terminal) spans = findWholeLines(rows);
    for (size_t i = 0; i < rows.size(); ++i) {
        const ResultEntry& entry = *rows[i];
        std::string record;
        if (cli.filesWithMatches) {
            record = formatPathRecord(entry.path, style);
        } else if (lineFormat) {
            record =
                formatMatch(entry, spans.empty() ? entry.lineText : wholeLineText(entry, spans[i]),
                            terms, style);
            record += '\n';
        } else {
            record = cli.format == OutputFormat::Tsv ? formatTsv(entry) : formatJsonl(entry);
            record += '\n';
        }
        std::fwrite(record.data(), 1, record.size(), stdout);
    }
    std::fflush(stdout);
}

// One scanner per processor core unless told otherwise.
int32_t threadCount(int32_t asked) {
    if (asked > 0) return asked;
    return std::max<int32_t>(1, static_cast<int32_t>(std::thread::hardware_concurrency()));
}

int run(const CliOptions& cli) {
    // The settings as read stay untouched apart from the file memory, so
    // writing them back changes nothing the window relies on.
    Settings stored;
    FileMemory memory;
    if (!cli.settingsFile.empty()) {
        std::string refusal;
        if (!loadSettings(cli.settingsFile.c_str(), INT32_MAX, INT32_MAX, stored, memory,
                          &refusal)) {
            std::fprintf(stderr, "tarvo-find: %s exists but is %s; not touching it\n",
                         cli.settingsFile.c_str(), refusal.c_str());
            return 2;
        }
    }
    Settings settings = stored;
    applyOverrides(cli, settings);

    SearchRequest& request = settings.request;
    request.findText = cli.findText;
    request.pathText = cli.pathText;
    if (request.pathText.empty()) request.pathText = cutToTextLimit(currentDirectory());
    request.rememberedFilesWithinRoots = true;
    reportLimits(request);

    TerminalHost host;
    ResultStore results;
    results.restoreSortMode(settings.sortMode);
    SearchRun engine(host, request, memory, results, threadCount(cli.threads));

    std::signal(SIGINT, onInterrupt);
    RunTimes times;
    times.start = elapsedSeconds();
    host.start();
    engine.runSearch();
    times.end = elapsedSeconds();

    // The results are printed all the same; the exit status tells a script
    // that the memory was not kept.
    bool saved = true;
    if (!cli.settingsFile.empty()) {
        std::string reason;
        saved = saveSettings(cli.settingsFile.c_str(), false, stored, memory, &reason);
        if (!saved) {
            std::fprintf(stderr, "tarvo-find: can't save settings %s: %s\n",
                         cli.settingsFile.c_str(), reason.c_str());
        }
    }
    printResults(results, engine.terms(), cli);

    if (cli.stats) {
        std::fprintf(stderr, "%s\n",
                     statusLineText(engine.stats(), times, times.end, false).c_str());
    }
    // Partial results must not pass for a complete search.
    if (interrupted) {
        std::fputs("tarvo-find: interrupted\n", stderr);
        return kInterruptedStatus;
    }
    if (!saved) return 2;
    return results.count() > 0 ? 0 : 1;
}

}  // namespace
}  // namespace tarvo

int main(int argc, char** argv) {
    using namespace tarvo;
    CliParse parse = parseCommandLine(argc, argv);
    if (!parse.error.empty()) {
        std::fprintf(stderr, "tarvo-find: %s\n\n%s", parse.error.c_str(), kUsage);
        return 2;
    }
    if (parse.options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (parse.options.version) {
        std::puts("tarvo-find (Tarvo Search, version " TARVO_VERSION ")");
        return 0;
    }
    return run(parse.options);
}
