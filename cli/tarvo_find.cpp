// tarvo-find: the terminal front end. It runs the window's engine over the
// same request, with the store doing the ranking, and prints the results in
// display order. With --settings it shares the window's file memory.
#include <unistd.h>
#include <climits>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/clock.h"
#include "app/settings_file.h"
#include "app/status_line.h"
#include "cli/cli_options.h"
#include "cli/result_printer.h"
#include "engine/file_memory.h"
#include "engine/search_engine.h"
#include "results/result_store.h"

namespace tarvo {
namespace {

volatile std::sig_atomic_t interrupted = 0;

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

bool useColor(ColorMode mode) {
    if (mode != ColorMode::Auto) return mode == ColorMode::Always;
    const char* term = std::getenv("TERM");
    return isatty(STDOUT_FILENO) && std::getenv("NO_COLOR") == nullptr && term &&
           std::string(term) != "dumb";
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
    if (request.pathText.empty()) {
        std::error_code error;
        request.pathText = cutToTextLimit(std::filesystem::current_path(error).string());
    }

    TerminalHost host;
    ResultStore results;
    results.restoreSortMode(settings.sortMode);
    SearchEngine engine(host, request, memory, results);

    std::signal(SIGINT, [](int) { interrupted = 1; });
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

    bool color = cli.format == OutputFormat::Text && useColor(cli.color);
    results.ensureDisplayOrder();
    int32_t shown = results.count();
    if (cli.top >= 0 && cli.top < shown) shown = cli.top;
    for (int32_t row = 0; row < shown; ++row) {
        const ResultEntry& entry = results.displayEntry(row);
        std::string line = cli.format == OutputFormat::Tsv ? formatTsv(entry)
                           : cli.format == OutputFormat::Jsonl
                               ? formatJsonl(entry)
                               : formatText(entry, engine.terms(), color);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    std::fflush(stdout);

    if (cli.stats) {
        std::fprintf(stderr, "%s\n",
                     statusLineText(engine.stats(), times, times.end, false).c_str());
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
        std::puts("tarvo-find (Tarvo Search, version 1.0)");
        return 0;
    }
    return run(parse.options);
}
