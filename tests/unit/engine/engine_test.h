// The engine suites' setting: a search wired to a test host, its request, memory and sink.
#pragma once

#include <gtest/gtest.h>
#include "engine/search_run.h"
#include "support/collecting_sink.h"
#include "support/temp_tree.h"

namespace tarvo::testing {

// Counts pumps, stops the run on pump N or runs a step in each pump, and records the errors.
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
protected:
    using Paths = std::set<std::string>;
    // The files read walking `root` alone from empty tables (with no Find text: the results).
    Paths walk(const std::string& root) {
        memory.clear();
        results.clearResults();
        searchRun.prepareRun();
        searchRun.walkDirectory(root, 0);
        Paths paths;
        for (int32_t i = 0; i < results.count(); ++i)
            paths.insert(results.rankEntry(i).path);
        return paths;
    }
    TestHost host;
    SearchRequest request;
    FileMemory memory;
    CollectingSink results;
    SearchRun searchRun{host, request, memory, results};
    TempTree tree;
};

}  // namespace tarvo::testing
