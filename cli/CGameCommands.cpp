#include "CGameCommands.h"

#include <iostream>
#include <vector>

#include "CArchiveCommands.h"
#include "CGameFinder.h"
#include "CStringTable.h"
#include "StringIds.h"
#include "TextFormat.h"

int CGameCommands::Games(std::FILE* out) {
    const std::vector<GameFolder> folders = CGameFinder().Find();
    if (folders.empty()) {
        std::cerr << CStringTable::Load(IDS_CLI_NO_GAMES) << '\n';
        return exitNoneFound;
    }
    for (const GameFolder& folder : folders) {
        CArchiveCommands::WriteFields(out, {CArchiveCommands::Printable(folder.game), folder.mod,
                                            CArchiveCommands::Printable(folder.path)});
    }
    return exitOk;
}

std::optional<std::string> CGameCommands::ModFolder(const std::string& mod) {
    const std::vector<GameFolder> matching = CGameFinder::WithMod(CGameFinder().Find(), mod);
    if (matching.size() == 1) {
        return matching.front().path;
    }
    const std::string shown = CArchiveCommands::Printable(mod);
    if (matching.empty()) {
        std::cerr << TextFormat::Format(CStringTable::Load(IDS_CLI_GAME_NOT_FOUND), {shown})
                  << '\n';
        return std::nullopt;
    }
    // Installing into whichever came first could put the maps where they are not wanted.
    std::cerr << TextFormat::Format(CStringTable::Load(IDS_CLI_GAME_AMBIGUOUS), {shown}) << '\n';
    for (const GameFolder& folder : matching) {
        std::cerr << CArchiveCommands::Printable(folder.path) << '\n';
    }
    return std::nullopt;
}
