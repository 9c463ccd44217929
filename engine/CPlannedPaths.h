#pragma once

#include <functional>
#include <set>
#include <string>
#include <unordered_map>

// What a plan has handed out so far. A plan writes nothing, but install will have made the files
// and folders of the earlier entries by the time it reaches a later one, and finds them whatever
// the case of their names: a later entry spelled otherwise goes where the earlier one went.
class CPlannedPaths {
public:
    // The path (below the target, '/'-separated, already spelled as on disk where something
    // stands) with each component that nothing on disk holds spelled as an earlier entry spelled
    // it. absentOnDisk tells whether nothing stands at such a path.
    std::string Spell(const std::string& path,
                      const std::function<bool(const std::string&)>& absentOnDisk);
    // Records a file at a spelled path; true when an earlier entry is planned there already.
    bool AddFile(const std::string& spelled);

private:
    std::unordered_map<std::string, std::string> spellings;  // folded path -> spelling given
    std::set<std::string> files;                             // folded paths
};
