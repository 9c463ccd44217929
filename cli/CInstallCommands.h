#pragma once

#include <cstdio>

class CCommandLine;

// The commands of zanvo-cli that install, or show where an installation would put each file.
// Each returns the process exit status.
class CInstallCommands {
public:
    // Risky files left out (without errors) end an install with 3.
    enum ExitStatus { exitOk = 0, exitErrors = 1, exitRefused = 2, exitRiskySkipped = 3 };

    static int Install(const CCommandLine& commandLine, std::FILE* out);
    static int Plan(const CCommandLine& commandLine, std::FILE* out);
};
