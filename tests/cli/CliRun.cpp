#include "CliRun.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>

namespace {

[[noreturn]] void ExecCli(const std::vector<std::string>& arguments, const TestFolder& scratch) {
    ::setenv("TZ", "UTC", 1);
    ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(ZANVO_CLI)};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(ZANVO_CLI, argv.data());
    ::_exit(127);
}

}  // namespace

pid_t StartCli(const std::vector<std::string>& arguments, const TestFolder& scratch) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open((scratch / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open((scratch / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
            ::dup2(err, 2) < 0) {
            ::_exit(126);
        }
        ExecCli(arguments, scratch);
    }
    return child;
}

CliRun RunCliOnTerminal(const std::vector<std::string>& arguments, const TestFolder& scratch,
                        const std::string& input) {
    CliRun run;
    termios settings{};
    settings.c_iflag = ICRNL;
    settings.c_oflag = OPOST | ONLCR;
    settings.c_cflag = CS8 | CREAD;
    settings.c_lflag = ICANON | ISIG;  // no echo: the terminal shows what the program writes
    settings.c_cc[VINTR] = 3;
    settings.c_cc[VEOF] = 4;
    settings.c_cc[VMIN] = 1;
    winsize size{24, 100, 0, 0};
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, &settings, &size);
    if (child < 0) {
        ADD_FAILURE() << "no terminal to run zanvo-cli on";
        return run;
    }
    if (child == 0) {
        ExecCli(arguments, scratch);
    }
    if (!input.empty() && ::write(master, input.data(), input.size()) < 0) {
        ADD_FAILURE() << "cannot type on the terminal";
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    char buffer[4096];
    for (;;) {
        pollfd ready{master, POLLIN, 0};
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "zanvo-cli did not end";
            ::kill(child, SIGKILL);
            break;
        }
        if (::poll(&ready, 1, 1000) <= 0) {
            continue;
        }
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            break;  // EIO once the program and its terminal have gone
        }
        run.out.append(buffer, static_cast<size_t>(n));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(master);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
