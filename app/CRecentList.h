#pragma once

#include <string>
#include <vector>

// A list of recently used folders ("Source" or "Target"): the values Path1 to Path16 of
// Recents\<name>, Path1 the most recent. The combo boxes that show it are the window's.
class CRecentList {
public:
    static constexpr int kMaxPaths = 16;

    explicit CRecentList(std::string listName);

    // Path1, Path2 ... up to the first missing or empty value.
    std::vector<std::string> Load() const;
    // Puts a path at the head, pushing the others down and Path16 out, and removes what lies
    // past the first gap. A path that is already listed (in any case, gaps passed over) keeps
    // its place; false then, and for an empty path.
    bool Add(const std::string& path);

private:
    std::string subKey;
};
