#pragma once

#include <cstdio>

class CCommandLine;

// The commands of zanvo-cli that read a target's install journals: history, verify and
// uninstall. Each returns the process exit status.
class CJournalCommands {
public:
    enum ExitStatus { exitOk = 0, exitFound = 1, exitRefused = 2 };

    static int History(const CCommandLine& commandLine, std::FILE* out);
    static int Verify(const CCommandLine& commandLine, std::FILE* out);
    static int Uninstall(const CCommandLine& commandLine, std::FILE* out);
};
