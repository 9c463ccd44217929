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
    // A gap moves down with the others: writing only the values that exist would leave the
    // value below a gap where it was and copy it one further down too.
    for (int i = kMaxPaths - 1; i >= 1; --i) {
        const std::string above = UserRegistry::ReadUserValue(subKey, ValueName(i));
        if (above.empty()) {
            UserRegistry::RemoveUserValue(subKey, ValueName(i + 1));
        } else {
            UserRegistry::WriteUserValue(subKey, ValueName(i + 1), above);
        }
    }
    UserRegistry::WriteUserValue(subKey, ValueName(1), path);
    // What lies past the first gap is never shown; drop it, so that no later shift can bring
    // a hidden path back beside its twin.
    int end = 1;
    while (end <= kMaxPaths && !UserRegistry::ReadUserValue(subKey, ValueName(end)).empty()) {
        ++end;
    }
    for (int i = end + 1; i <= kMaxPaths; ++i) {
        UserRegistry::RemoveUserValue(subKey, ValueName(i));
    }
    return true;
}
