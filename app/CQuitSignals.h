#pragma once

#include <functional>

// SIGTERM, SIGHUP and SIGINT turned into a call on the windows' thread, so that the program
// ends as its Quit button ends it instead of losing its settings.
class CQuitSignals {
public:
    // Calls onQuit from the event loop when one of the signals comes.
    static void Watch(std::function<void()> onQuit);
    // Back to the signals' default actions.
    static void Stop();
};
