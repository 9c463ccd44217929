#include "CSignalWatcher.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include "CPendingFile.h"

namespace {

std::atomic<bool> interrupted{false};

sigset_t Watched() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

[[noreturn]] void Leave(int signal) {
    CPendingFile::RemoveTemporaryNames();
    // Ended by the signal itself, so that the shell sees how the program ended.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    raise(signal);
    _exit(128 + signal);
}

void Watch(sigset_t set) {
    bool askedOnce = false;
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) {
            continue;
        }
        if (signal == SIGINT && !askedOnce) {
            askedOnce = true;
            interrupted = true;
            continue;
        }
        Leave(signal);
    }
}

}  // namespace

void CSignalWatcher::Start() {
    const sigset_t set = Watched();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    try {
        std::thread(Watch, set).detach();
    } catch (...) {
        // Without a thread to take them, the signals keep their usual effect.
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    }
}

bool CSignalWatcher::TakeInterrupt() {
    return interrupted.exchange(false);
}
