#pragma once

#include <string>
#include <vector>

// The arguments of zanvo-cli: options anywhere, then the command and its operands.
class CCommandLine {
public:
    // False when the arguments cannot be used; Error() then tells why, in the language chosen.
    bool Parse(const std::vector<std::string>& arguments);
    std::string Error() const;

    bool help = false;
    std::string language = "french";
    std::string command;
    std::vector<std::string> operands;

private:
    bool Fail(int id, const std::string& argument);

    int errorId = 0;
    std::string errorArgument;
};
