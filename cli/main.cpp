// zanvo-cli: Zanvo without a window, for servers without a display.

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "CArchiveCommands.h"
#include "CCommandLine.h"
#include "CGameCommands.h"
#include "CIniSettingsReader.h"
#include "CInstallCommands.h"
#include "CJournalCommands.h"
#include "CStringTable.h"
#include "LocalTime.h"
#include "StringIds.h"
#include "SystemError.h"
#include "TextFormat.h"
#include "UserRegistry.h"
#include "Utf8.h"

namespace {

constexpr int kExitRefused = 2;

int Refuse(const std::string& message) {
    std::cerr << "zanvo-cli: " << Utf8::WithoutControls(message) << '\n'
              << CStringTable::Load(IDS_CLI_TRY_HELP) << '\n';
    return kExitRefused;
}

// Output that never reached its file (a full disk, say) fails the command, whatever it did.
int Delivered(int status) {
    const int error = CArchiveCommands::WriteError(stdout);
    if (error == 0) {
        return status;
    }
    std::cerr << "zanvo-cli: "
              << TextFormat::Format(CStringTable::Load(IDS_CLI_OUTPUT_LOST),
                                    {SystemError::Text(error)})
              << '\n';
    return status == 0 ? 1 : status;
}

// A settings file that could not be used is said once; the defaults apply.
void SaySettingsRefused(CIniSettingsReader::Refusal refusal, int error) {
    const int id = refusal == CIniSettingsReader::Refusal::notAFile   ? IDS_CLI_SETTINGS_NOT_A_FILE
                   : refusal == CIniSettingsReader::Refusal::tooLarge ? IDS_CLI_SETTINGS_TOO_LARGE
                   : refusal == CIniSettingsReader::Refusal::unreadable
                       ? IDS_CLI_SETTINGS_UNREADABLE
                       : 0;
    if (id != 0) {
        std::cerr << "zanvo-cli: "
                  << TextFormat::Format(CStringTable::Load(id),
                                        {Utf8::WithoutControls(CIniSettingsReader::DefaultPath()),
                                         SystemError::Text(error)})
                  << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    LocalTime::SettleZone();

    CCommandLine commandLine;
    const bool parsed = commandLine.Parse(std::vector<std::string>(argv + 1, argv + argc));
    auto settings = std::make_unique<CIniSettingsReader>();
    const CIniSettingsReader::Refusal refusal = settings->Refused();
    const int settingsError = settings->Error();
    UserRegistry::SetStore(std::move(settings));
    CStringTable::Select(CStringTable::LanguageFromSetting(
        commandLine.language ? *commandLine.language : UserRegistry::ReadLanguageSetting()));
    SaySettingsRefused(refusal, settingsError);
    if (!parsed) {
        return Refuse(commandLine.Error());
    }
    if (commandLine.help) {
        CArchiveCommands::Write(stdout, CStringTable::Load(IDS_CLI_USAGE));
        return Delivered(0);
    }
    const std::string& command = commandLine.command;
    const size_t operands = commandLine.operands.size();
    if (command.empty()) {
        std::fputs(CStringTable::Load(IDS_CLI_USAGE).c_str(), stderr);
        return kExitRefused;
    }
    if (command == "list" || command == "test") {
        if (operands != 1) {
            return Refuse(CStringTable::Load(operands == 0 ? IDS_CLI_MISSING_ARCHIVE
                                                           : IDS_CLI_TOO_MANY_ARGUMENTS));
        }
        const std::string& archive = commandLine.operands.front();
        const int status = command == "list" ? CArchiveCommands::List(archive, stdout)
                                             : CArchiveCommands::Test(archive, stdout);
        return Delivered(status);
    }
    if (command == "games") {
        if (operands != 0) {
            return Refuse(CStringTable::Load(IDS_CLI_TOO_MANY_ARGUMENTS));
        }
        return Delivered(CGameCommands::Games(stdout));
    }
    // A simulation asked of a command that has none must not run it for real.
    if (commandLine.dryRun && command != "uninstall" && !command.empty()) {
        return Refuse(CStringTable::Load(IDS_CLI_DRY_RUN_ONLY_UNINSTALL));
    }
    if (command == "install" || command == "plan") {
        // --game stands for TARGET.
        const bool byGame = commandLine.game.has_value();
        const size_t needed = command == "install" && !byGame ? 2 : 1;
        if (byGame && operands == 2) {
            return Refuse(CStringTable::Load(IDS_CLI_GAME_AND_TARGET));
        }
        if (operands < needed || operands > 2) {
            return Refuse(CStringTable::Load(operands < needed ? IDS_CLI_MISSING_OPERANDS
                                                               : IDS_CLI_TOO_MANY_ARGUMENTS));
        }
        if (byGame) {
            const std::optional<std::string> folder = CGameCommands::ModFolder(*commandLine.game);
            if (!folder) {
                return kExitRefused;
            }
            commandLine.operands.push_back(*folder);
        }
        const int status = command == "install" ? CInstallCommands::Install(commandLine, stdout)
                                                : CInstallCommands::Plan(commandLine, stdout);
        return Delivered(status);
    }
    if (command == "history" || command == "verify" || command == "uninstall") {
        const size_t least = command == "uninstall" ? 2 : 1;
        const size_t most = command == "history" ? 1 : 2;
        if (operands < least || operands > most) {
            return Refuse(CStringTable::Load(operands < least ? IDS_CLI_MISSING_JOURNAL_OPERANDS
                                                              : IDS_CLI_TOO_MANY_ARGUMENTS));
        }
        if (commandLine.dryRun && command != "uninstall") {
            return Refuse(CStringTable::Load(IDS_CLI_DRY_RUN_ONLY_UNINSTALL));
        }
        const int status = command == "history"  ? CJournalCommands::History(commandLine, stdout)
                           : command == "verify" ? CJournalCommands::Verify(commandLine, stdout)
                                                 : CJournalCommands::Uninstall(commandLine, stdout);
        return Delivered(status);
    }
    return Refuse(TextFormat::Format(CStringTable::Load(IDS_CLI_UNKNOWN_COMMAND), {command}));
}
