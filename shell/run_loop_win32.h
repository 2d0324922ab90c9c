// The run loop, the message pump and the one way out of the program.
//
// One thread does everything: a search runs inside runRequestedSearch, and
// the scanner calls the pump in poll mode between files, at every move of
// its read window and every 100th scored line. The pump dispatches all that
// is queued, so every handler can run nested inside a search; handlers only
// change RunState, options and texts, and the run loop alone starts a
// search, so searches never nest.
#pragma once

namespace tarvo {

struct Program;

// Never returns; the process ends through exitProgram.
[[noreturn]] void runLoop(Program& program);

// The run loop's StartRequested step: Running, one search, the end time and
// a refresh; back to Idle unless a handler asked for another run meanwhile.
void runRequestedSearch(Program& program);

// wait: take exactly one message, blocking until there is one. Otherwise
// handle everything already queued and return without waiting. The quit
// message ends the program from here, even in the middle of a search.
void pumpMessages(Program& program, bool wait);

// Credits the current results, saves the settings and ends the process.
[[noreturn]] void exitProgram(Program& program, int exitCode);

}  // namespace tarvo
