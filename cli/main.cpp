// zanvo-cli: the archive layer of Zanvo on the command line, for servers without a display.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "CArchiveCommands.h"
#include "CCommandLine.h"
#include "CStringTable.h"
#include "LocalTime.h"
#include "StringIds.h"
#include "TextFormat.h"

namespace {

int Refuse(const std::string& message) {
    std::cerr << "zanvo-cli: " << message << '\n' << CStringTable::Load(IDS_CLI_TRY_HELP) << '\n';
    return CArchiveCommands::exitNotOpened;
}

}  // namespace

int main(int argc, char** argv) {
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    LocalTime::SettleZone();

    CCommandLine commandLine;
    const bool parsed = commandLine.Parse(std::vector<std::string>(argv + 1, argv + argc));
    CStringTable::Select(CStringTable::LanguageFromSetting(commandLine.language));
    if (!parsed) {
        return Refuse(commandLine.Error());
    }
    if (commandLine.help) {
        std::fputs(CStringTable::Load(IDS_CLI_USAGE).c_str(), stdout);
        return CArchiveCommands::exitOk;
    }
    if (commandLine.command.empty()) {
        std::fputs(CStringTable::Load(IDS_CLI_USAGE).c_str(), stderr);
        return CArchiveCommands::exitNotOpened;
    }
    if (commandLine.command != "list" && commandLine.command != "test") {
        return Refuse(
            TextFormat::Format(CStringTable::Load(IDS_CLI_UNKNOWN_COMMAND), {commandLine.command}));
    }
    if (commandLine.operands.empty()) {
        return Refuse(CStringTable::Load(IDS_CLI_MISSING_ARCHIVE));
    }
    if (commandLine.operands.size() > 1) {
        return Refuse(CStringTable::Load(IDS_CLI_TOO_MANY_ARGUMENTS));
    }
    const std::string& archive = commandLine.operands.front();
    const int status = commandLine.command == "list" ? CArchiveCommands::List(archive, stdout)
                                                     : CArchiveCommands::Test(archive, stdout);
    std::fflush(stdout);
    return status;
}
