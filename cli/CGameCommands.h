#pragma once

#include <cstdio>
#include <optional>
#include <string>

// The game folders of the Steam libraries, for zanvo-cli games and --game.
class CGameCommands {
public:
    enum ExitStatus { exitOk = 0, exitNoneFound = 1 };

    // One line per game folder, with tab-separated fields: the game, the mod and the path.
    static int Games(std::FILE* out);
    // The folder of the mod named (in any case); nothing, after saying why, when no folder or
    // several folders hold it.
    static std::optional<std::string> ModFolder(const std::string& mod);
};
