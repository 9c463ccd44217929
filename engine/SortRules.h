#pragma once

#include <functional>
#include <string>

class CArchiveReader;

// Where "Analyse and sort Steam archives" puts an entry: a sub-folder of the target chosen from
// the entry's extension and the folders it lies in, or the skip marker for files that are not
// installed at all. A pure function of its inputs.
class SortRules {
public:
    static const std::string kSkipMarker;  // "$$$$$"

    // fileName and folder as the archive reader describes the entry ('\' separators, folder
    // ending with '\' or empty); mapName lower case or empty; miscPath ending with '\'.
    static std::string SortEntry(const std::string& fileName, const std::string& folder,
                                 const std::string& mapName, const std::string& miscPath);
    // The lower-cased title of the archive's only .bsp entry; empty for none or several. pump
    // runs after every entry description, as the run keeps its window alive.
    static std::string FindMapName(CArchiveReader& reader, int entryCount,
                                   const std::function<void()>& pump);
};
