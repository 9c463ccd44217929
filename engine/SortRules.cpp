#include "SortRules.h"

#include <utility>
#include <vector>

#include "ArchiveEntryInfo.h"
#include "CArchiveReader.h"
#include "CPathName.h"
#include "CaseFold.h"

const std::string SortRules::kSkipMarker = "$$$$$";

namespace {

enum class Action { Fixed, Skip, Keep, FirstMatch, Sound, Editor, MapText };

// One row of the decision list. Keep and FirstMatch fall back to folder, or to the Misc folder
// when toMisc is set.
struct SortRule {
    std::vector<std::string> extensions;
    Action action;
    std::string folder;
    std::vector<std::pair<std::string, std::string>> needles;  // Keep: one anchor
    bool toMisc = false;
};

const std::vector<SortRule>& Rules() {
    static const std::vector<SortRule> rules = {
        {{"jpg"}, Action::Keep, "", {{"models\\", ""}}, true},
        // pcx and bmp share one row: "overviews" is looked for without its '\'.
        {{"pcx", "bmp"},
         Action::FirstMatch,
         "",
         {{"overviews", "overviews\\"}, {"gfx\\env\\", "gfx\\env\\"}},
         true},
        {{"db"}, Action::Skip, "", {}},
        {{"bsp"}, Action::Fixed, "maps\\", {}},
        {{"vmt", "vtf"}, Action::Keep, "materials\\", {{"materials\\", ""}}},
        {{"mdl", "vtx", "phy"}, Action::Keep, "models\\", {{"models\\", ""}}},
        {{"wav"}, Action::Sound, "sound\\", {}},
        {{"spr"}, Action::Keep, "sprites\\", {{"sprites\\", ""}}},
        {{"tga"}, Action::Fixed, "gfx\\env\\", {}},
        {{"res"}, Action::Fixed, "maps\\", {}},
        {{"mat", "cfg"}, Action::Fixed, "", {}},
        {{"pwf", "pxp"}, Action::Fixed, "PODBot\\WPTDefault\\", {}},
        {{"wpt"}, Action::Fixed, "Sturmbot\\waypoints\\", {}},
        {{"map", "rmf", "p0", "p1", "p2", "p3", "rmx", "lin", "pts", "wc", "loc", "log", "max",
          "prt", "wic", "gpk", "rfk"},
         Action::Editor,
         "WorldCraft\\",
         {}},
        {{"wad"}, Action::Fixed, "", {}},
        {{"txt"}, Action::MapText, "", {}},
    };
    return rules;
}

const SortRule* RuleFor(const std::string& extension) {
    for (const SortRule& rule : Rules()) {
        for (const std::string& candidate : rule.extensions) {
            if (candidate == extension) {
                return &rule;
            }
        }
    }
    return nullptr;
}

}  // namespace

std::string SortRules::SortEntry(const std::string& fileName, const std::string& folder,
                                 const std::string& mapName, const std::string& miscPath) {
    const CPathName file(fileName);
    const std::string extension = CaseFold::Fold(file.ExtensionPart());
    const std::string title = CaseFold::Fold(file.TitlePart());
    const std::string lowerFolder = CaseFold::Fold(folder);
    const std::string misc = mapName.empty() ? miscPath : miscPath + mapName + "\\";

    const SortRule* rule = RuleFor(extension);
    if (rule == nullptr) {
        return misc;
    }
    const std::string fallback = rule->toMisc ? misc : rule->folder;
    switch (rule->action) {
        case Action::Fixed:
            return rule->folder;
        case Action::Skip:
            return kSkipMarker;
        case Action::Keep: {
            const size_t at = lowerFolder.find(rule->needles.front().first);
            return at != std::string::npos ? lowerFolder.substr(at) : fallback;
        }
        case Action::FirstMatch:
            for (const auto& [needle, target] : rule->needles) {
                if (lowerFolder.find(needle) != std::string::npos) {
                    return target;
                }
            }
            return fallback;
        case Action::Sound: {
            // "sound\" is looked for before "sounds\", so a folder holding both keeps the first.
            if (const size_t at = lowerFolder.find("sound\\"); at != std::string::npos) {
                return lowerFolder.substr(at);
            }
            if (const size_t at = lowerFolder.find("sounds\\"); at != std::string::npos) {
                return "sound\\" + lowerFolder.substr(at + 7);
            }
            return rule->folder;
        }
        case Action::Editor:
            return mapName.empty() ? rule->folder : rule->folder + mapName + "\\";
        case Action::MapText:
            if (title != mapName) {
                return misc;
            }
            return lowerFolder.find("overviews\\") != std::string::npos ? "overviews\\" : "maps\\";
    }
    return misc;
}

std::string SortRules::FindMapName(CArchiveReader& reader, int entryCount,
                                   const std::function<void()>& pump) {
    int count = 0;
    std::string title;
    ArchiveEntryInfo info;
    for (int i = 0; i < entryCount; ++i) {
        if (!reader.GetEntryInfo(info, i, true)) {
            continue;
        }
        pump();
        if (info.isDirectory) {
            continue;
        }
        const CPathName name(info.name);
        if (CaseFold::Fold(name.ExtensionPart()) == "bsp") {
            ++count;
            title = CaseFold::Fold(name.TitlePart());
        }
    }
    // A title of dots only ("...bsp") would make the map's folders "." or "..", the target
    // itself: no map name then.
    if (title.find_first_not_of('.') == std::string::npos) {
        return {};
    }
    return count == 1 ? title : std::string();
}
