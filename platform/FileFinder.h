#pragma once

#include <string>
#include <string_view>
#include <vector>

// The archives of a source, as the Windows find-first/find-next functions list them, but in a
// repeatable order: the last component of the pattern may hold the wildcards * and ?, compared
// without regard to case ("*.zip" finds "MAP.ZIP"); folders, "." and ".." are passed over.
class FileFinder {
public:
    // The names (without their folder) of the matching files, in case-insensitive name order.
    static std::vector<std::string> FindFiles(const std::string& pattern);
    static bool Matches(std::string_view pattern, std::string_view name);
};
