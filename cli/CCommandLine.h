#pragma once

#include <optional>
#include <string>
#include <vector>

// The arguments of zanvo-cli: options anywhere, then the command and its operands.
class CCommandLine {
public:
    // False when the arguments cannot be used; Error() then tells why, in the language chosen.
    bool Parse(const std::vector<std::string>& arguments);
    std::string Error() const;

    bool help = false;
    std::optional<std::string> language;  // the stored setting when absent
    std::string command;
    std::vector<std::string> operands;

    // Overrides of the stored installation options.
    std::optional<bool> sort;
    std::optional<bool> replace;
    std::optional<bool> confirmDifferent;
    std::optional<std::string> misc;
    bool createTarget = false;  // --yes
    bool yesToAll = false;
    bool noToAll = false;
    std::optional<bool> journal;  // --journal, --no-journal
    bool allowRisky = false;
    bool dryRun = false;  // uninstall: show the plan, change nothing
    // The target is the folder of this mod in the Steam libraries.
    std::optional<std::string> game;

private:
    bool Fail(int id, const std::string& argument);

    int errorId = 0;
    std::string errorArgument;
};
