// A SearchHost for tests: counts pump calls, can stop the run on pump call
// N, and records the error messages the engine reports.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/search_host.h"

namespace tarvo::testing {

class TestHost : public SearchHost {
public:
    RunState state = RunState::Running;
    int pumpCalls = 0;
    int refreshes = 0;
    int stopAtPump = -1;                 // set Idle on this pump call (1-based)
    std::function<void(int)> onPump;     // runs inside pump call N, like a window handler
    std::vector<std::string> errors;

    void pumpMessages() override {
        ++pumpCalls;
        if (pumpCalls == stopAtPump) state = RunState::Idle;
        if (onPump) onPump(pumpCalls);
    }
    RunState runState() const override { return state; }
    void reportError(const char* message) override { errors.emplace_back(message); }
    void requestRefresh() override { ++refreshes; }
};

}  // namespace tarvo::testing
