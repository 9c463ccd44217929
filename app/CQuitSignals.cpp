#include "CQuitSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>
#include <memory>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int pipeEnds[2] = {-1, -1};
std::unique_ptr<QSocketNotifier> notifier;
std::function<void()> quitCall;

// Only async-signal-safe work here: one byte into the pipe the event loop watches.
extern "C" void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

}  // namespace

void CQuitSignals::Watch(std::function<void()> onQuit) {
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // without the pipe the signals keep their default action
    }
    quitCall = std::move(onQuit);
    notifier = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [] {
        char bytes[16];
        while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
        }
        if (quitCall) {
            quitCall();
        }
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

void CQuitSignals::Stop() {
    for (int signal : kSignals) {
        ::signal(signal, SIG_DFL);
    }
    notifier.reset();
    quitCall = nullptr;
}
