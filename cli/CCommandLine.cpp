#include "CCommandLine.h"

#include "CStringTable.h"
#include "StringIds.h"
#include "TextFormat.h"

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
        } else if (argument == "--language" || argument.rfind("--language=", 0) == 0) {
            std::string value;
            if (argument != "--language") {
                value = argument.substr(argument.find('=') + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            }
            if (value != "english" && value != "french") {
                return Fail(IDS_CLI_BAD_LANGUAGE, value);
            }
            language = value;
        } else {
            return Fail(IDS_CLI_UNKNOWN_OPTION, argument);
        }
    }
    return true;
}
