#include "CPlannedPaths.h"

#include <algorithm>

#include "CaseFold.h"

std::string CPlannedPaths::Spell(const std::string& path,
                                 const std::function<bool(const std::string&)>& absentOnDisk) {
    std::string spelled;
    for (size_t start = 0; start <= path.size();) {
        const size_t slash = std::min(path.find('/', start), path.size());
        std::string candidate = spelled + path.substr(start, slash - start);
        // What stands on disk keeps its own spelling, even beside a twin differing in case.
        if (absentOnDisk(candidate)) {
            candidate = spellings.try_emplace(CaseFold::Fold(candidate), candidate).first->second;
        }
        spelled = std::move(candidate);
        if (slash == path.size()) {
            break;
        }
        spelled += '/';
        start = slash + 1;
    }
    return spelled;
}

bool CPlannedPaths::AddFile(const std::string& spelled) {
    return !files.insert(CaseFold::Fold(spelled)).second;
}
