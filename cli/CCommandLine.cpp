#include "CCommandLine.h"

#include "CStringTable.h"
#include "StringIds.h"
#include "TextFormat.h"

namespace {

// "--name VALUE" or "--name=VALUE"; false when argument is another option. value stays empty
// when "--name" ends the command line.
bool TakeValue(const std::string& name, const std::vector<std::string>& arguments, size_t& i,
               std::optional<std::string>& value) {
    const std::string& argument = arguments[i];
    if (argument == name) {
        if (i + 1 < arguments.size()) {
            value = arguments[++i];
        }
        return true;
    }
    if (argument.rfind(name + "=", 0) == 0) {
        value = argument.substr(name.size() + 1);
        return true;
    }
    return false;
}

// "--name" sets true, "--no-name" false.
bool TakeSwitch(const std::string& name, const std::string& argument, std::optional<bool>& value) {
    if (argument == "--" + name || argument == "--no-" + name) {
        value = argument == "--" + name;
        return true;
    }
    return false;
}

}  // namespace

bool CCommandLine::Fail(int id, const std::string& argument) {
    errorId = id;
    errorArgument = argument;
    return false;
}

std::string CCommandLine::Error() const {
    return TextFormat::Format(CStringTable::Load(errorId), {errorArgument});
}

bool CCommandLine::Parse(const std::vector<std::string>& arguments) {
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        std::optional<std::string> value;
        if (!option) {
            if (command.empty()) {
                command = argument;
            } else {
                operands.push_back(argument);
            }
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (TakeValue("--language", arguments, i, value)) {
            if (!value) {
                return Fail(IDS_CLI_MISSING_VALUE, argument);
            }
            if (*value != "english" && *value != "french") {
                return Fail(IDS_CLI_BAD_LANGUAGE, *value);
            }
            language = value;
        } else if (TakeValue("--misc", arguments, i, value)) {
            if (!value) {
                return Fail(IDS_CLI_MISSING_VALUE, argument);
            }
            misc = value;
        } else if (TakeValue("--game", arguments, i, value)) {
            if (!value) {
                return Fail(IDS_CLI_MISSING_VALUE, argument);
            }
            game = value;
        } else if (TakeSwitch("sort", argument, sort) || TakeSwitch("replace", argument, replace) ||
                   TakeSwitch("confirm-different", argument, confirmDifferent) ||
                   TakeSwitch("journal", argument, journal)) {
        } else if (argument == "--allow-risky") {
            allowRisky = true;
        } else if (argument == "--dry-run") {
            dryRun = true;
        } else if (argument == "--yes") {
            createTarget = true;
        } else if (argument == "--yes-all" || argument == "--no-all") {
            yesToAll = argument == "--yes-all";
            noToAll = !yesToAll;
        } else {
            return Fail(IDS_CLI_UNKNOWN_OPTION, argument);
        }
    }
    return true;
}
