#pragma once

#include <string>
#include <vector>

class TestFolder;

// Fake Steam installations for the tests that look for game folders.
namespace FakeSteam {

// The manifest Steam writes for an installed game.
std::string Manifest(int appId, const std::string& name, const std::string& installDir);
// A library holding Half-Life (app 70) with the given folders of Half-Life/ ("valve", ...).
std::vector<std::string> HalfLife(const std::string& library,
                                  const std::vector<std::string>& mods = {"valve", "cstrike"});
// Makes each item below disk: "path/" a folder, "path=text" a file, "path->target" a link; $D
// in texts and targets stands for the disk's path.
void Make(const TestFolder& disk, const std::vector<std::string>& items);

}  // namespace FakeSteam

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b);
