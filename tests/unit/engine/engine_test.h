// The setting of the engine suites: a search engine wired to a test host, with its own request,
// file memory and sink, over a scratch tree.
#pragma once

#include <gtest/gtest.h>
#include "engine/search_run.h"
#include "support/collecting_sink.h"
#include "support/temp_tree.h"

namespace tarvo::testing {

// Counts pumps, stops the run on pump call N or runs a step inside each pump (as a window handler
// would), and records the errors.
class TestHost : public SearchHost {
public:
    void pumpMessages() override {
        if (++pumpCalls == stopAtPump) state = RunState::Idle;
        if (onPump) onPump(pumpCalls);
    }
    RunState runState() const override { return state; }
    void reportError(const char* message) override { errors.emplace_back(message); }
    void requestRefresh() override {}
    void scanBegins(const char* path) override {
        if (onScanBegins) onScanBegins(path);
    }
    RunState state = RunState::Running;
    int pumpCalls = 0, stopAtPump = -1;
    std::function<void(int)> onPump;
    std::function<void(const char*)> onScanBegins;  // on the scanner's own thread
    std::vector<std::string> errors;
};

class EngineTest : public ::testing::Test {
public:
    using Paths = std::set<std::string>;

protected:
    // The paths of the results after walking `root` alone from empty tables: with no Find text
    // these are exactly the files read.
    Paths walk(const std::string& root) {
        memory.clear();
        results.clearResults();
        engine.prepareRun();
        engine.walkDirectory(root, 0);
        Paths paths;
        for (int32_t i = 0; i < results.count(); ++i)
            paths.insert(results.rankEntry(i).path);
        return paths;
    }
    TestHost host;
    SearchRequest request;
    FileMemory memory;
    CollectingSink results;
    SearchRun engine{host, request, memory, results};
    TempTree tree;
};

}  // namespace tarvo::testing
