#include "TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "FileSystem.h"

TestFolder::TestFolder() {
    path = FileSystem::MakeTempFolder("zanvo-test-");
    if (path.empty()) {
        ADD_FAILURE() << "cannot create a temporary folder";
    }
    path += '/';
}

TestFolder::~TestFolder() {
    // Read-only files and folders left by a test must not stop the clean-up.
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(path, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
    }
    FileSystem::RemoveTree(path);
}

void TestFolder::WriteFile(const std::string& relative, const std::string& content) const {
    const std::filesystem::path full = path + relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << content;
}

std::string TestFolder::ReadFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {};
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string TestFolder::Listing() const {
    std::vector<std::string> names;
    for (auto it = std::filesystem::recursive_directory_iterator(path);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        const auto& entry = *it;
        // The install journals of a target have tests of their own.
        if (entry.path().filename() == ".zanvo") {
            it.disable_recursion_pending();
            continue;
        }
        std::string name = std::filesystem::relative(entry.path(), path).generic_string();
        if (entry.is_directory()) {
            name += '/';
        }
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string& name : names) {
        listing += name + '\n';
    }
    return listing;
}
