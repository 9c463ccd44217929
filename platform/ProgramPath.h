#pragma once

#include <string>

// Where the running program's own file is: what a module handle of the program names.
class ProgramPath {
public:
    // The program file's full path; empty when the system cannot tell.
    static std::string Get();
    // Whether path names the running program's file, through links and relative parts as well.
    static bool IsProgram(const std::string& path);
};
