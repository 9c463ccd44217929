#pragma once

// Ctrl+C, SIGTERM and SIGHUP while zanvo-cli installs. The first Ctrl+C asks the run to stop
// after the archive in progress; a second one, SIGTERM or SIGHUP ends the program at once, after
// removing the temporary names of the files still being written, so that nothing is left
// behind. The signals are taken by a thread of their own, outside any signal handler.
class CSignalWatcher {
public:
    // Must come before any other thread is started: they all leave the signals to the watcher.
    static void Start();
    // True once for each first Ctrl+C not yet taken.
    static bool TakeInterrupt();
};
