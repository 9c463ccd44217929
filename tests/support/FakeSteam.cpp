#include "FakeSteam.h"

#include <filesystem>

#include "TestFolder.h"

namespace fs = std::filesystem;

std::string FakeSteam::Manifest(int appId, const std::string& name, const std::string& installDir) {
    return "\"AppState\"\n{\n\t\"appid\"\t\t\"" + std::to_string(appId) + "\"\n\t\"name\"\t\t\"" +
           name + "\"\n\t\"StateFlags\"\t\t\"4\"\n\t\"installdir\"\t\t\"" + installDir + "\"\n}\n";
}

std::vector<std::string> FakeSteam::HalfLife(const std::string& library,
                                             const std::vector<std::string>& mods) {
    std::vector<std::string> items{
        library + "steamapps/appmanifest_70.acf=" + Manifest(70, "Half-Life", "Half-Life")};
    for (const std::string& mod : mods) {
        items.push_back(library + "steamapps/common/Half-Life/" + mod + "/");
    }
    return items;
}

void FakeSteam::Make(const TestFolder& disk, const std::vector<std::string>& items) {
    const auto expand = [&](std::string text) {
        for (size_t at; (at = text.find("$D")) != std::string::npos;) {
            text.replace(at, 2, disk.Path());
        }
        return text;
    };
    for (const std::string& item : items) {
        const size_t equals = item.find('='), arrow = item.find("->");
        if (arrow != std::string::npos && arrow < equals) {
            const fs::path link = disk / item.substr(0, arrow);
            fs::create_directories(link.parent_path());
            fs::create_directory_symlink(expand(item.substr(arrow + 2)), link);
        } else if (equals != std::string::npos) {
            disk.WriteFile(item.substr(0, equals), expand(item.substr(equals + 1)));
        } else {
            fs::create_directories(disk / item);
        }
    }
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
