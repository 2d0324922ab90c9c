// The engine's one window on the program around it. The GUI, tarvo-find and
// the tests are three hosts of the same engine.
#pragma once

namespace tarvo {

enum class RunState : int { Idle = 0, StartRequested = 1, Running = 2 };

class SearchHost {
public:
    // Handles every queued window message and returns without waiting. The
    // handlers may change the run state, the request's options and lists,
    // and may empty the file memory; the engine re-reads them afterwards.
    virtual void pumpMessages() = 0;

    // The live RunState; the engine goes on only while it is Running.
    virtual RunState runState() const = 0;

    // A Path root that is too long, or neither a listable directory nor a
    // readable file, or a Path that names none. `message` is the finished
    // text ("Error: can't open directory ..."); the run goes on with the
    // next root when this returns.
    virtual void reportError(const char* message) = 0;

    // The scanner counted a file or the run ended: the status line and the
    // results list have something new to show.
    virtual void requestRefresh() = 0;

    // With several scanners, one is about to open `path`: called on that
    // scanner's thread, which may be any. A program has nothing to do here;
    // a test holds a file's scan to make the scanners meet as it wants.
    virtual void scanBegins(const char* /*path*/) {}

protected:
    ~SearchHost() = default;
};

}  // namespace tarvo
