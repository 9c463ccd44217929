#include "CRecentList.h"

#include <utility>

#include "CaseFold.h"
#include "UserRegistry.h"

namespace {

std::string ValueName(int index) {
    return "Path" + std::to_string(index);
}

}  // namespace

CRecentList::CRecentList(std::string listName) : subKey("Recents\\" + std::move(listName)) {}

std::vector<std::string> CRecentList::Load() const {
    std::vector<std::string> paths;
    for (int i = 1; i <= kMaxPaths; ++i) {
        std::string path = UserRegistry::ReadUserValue(subKey, ValueName(i));
        if (path.empty()) {
            break;
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

bool CRecentList::Add(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    for (int i = 1; i <= kMaxPaths; ++i) {
        const std::string listed = UserRegistry::ReadUserValue(subKey, ValueName(i));
        if (!listed.empty() && CaseFold::Equal(listed, path)) {
            return false;
        }
    }
    for (int i = kMaxPaths - 1; i >= 1; --i) {
        UserRegistry::WriteUserValue(subKey, ValueName(i + 1),
                                     UserRegistry::ReadUserValue(subKey, ValueName(i)));
    }
    UserRegistry::WriteUserValue(subKey, ValueName(1), path);
    return true;
}
