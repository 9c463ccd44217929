#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TestFolder.h"

struct CliRun {
    std::string out, err;
    int status = -1;
};

// Runs zanvo-cli with stdin from /dev/null, in UTC so that dates do not depend on the machine,
// and with its stored settings under scratch/config/ (Orbelle/Zanvo.conf there), never the user's.
// wrapper, when given, runs it ("timeout 20").
inline CliRun RunCli(const std::string& arguments, const TestFolder& scratch,
                     const std::string& wrapper = {}) {
    const std::string errFile = scratch / "stderr.txt";
    const std::string command = "TZ=UTC XDG_CONFIG_HOME='" + scratch / "config" + "' " + wrapper +
                                " " ZANVO_CLI " " + arguments + " 2>'" + errFile + "' </dev/null";
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return run;
    }
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = TestFolder::ReadFile(errFile);
    return run;
}

// Starts zanvo-cli as RunCli does, without waiting: stdout and stderr go to scratch/out.txt and
// scratch/err.txt. The process id, or -1.
pid_t StartCli(const std::vector<std::string>& arguments, const TestFolder& scratch);

// Runs zanvo-cli on a terminal of its own (stdin, stdout and stderr), which the user types input
// on; out is all the terminal showed (lines end with "\r\n" there), err is empty. A run that
// takes more than a minute is killed.
CliRun RunCliOnTerminal(const std::vector<std::string>& arguments, const TestFolder& scratch,
                        const std::string& input);
