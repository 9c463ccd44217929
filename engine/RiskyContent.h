#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What a map pack has no reason to carry: programs and libraries, and files that change the game
// or a player's configuration. Such files are flagged before they are written.
class RiskyContent {
public:
    // How many bytes of an entry's content the signatures need.
    static constexpr size_t kHeadSize = 4;

    // Why a file is risky, in the language chosen, from its path (either separator) and the
    // first bytes of its content; empty when it is not.
    static std::string Reason(std::string_view path, std::string_view head);
};
