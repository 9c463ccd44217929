#include "RiskyContent.h"

#include <vector>

#include "CStringTable.h"
#include "StringIds.h"
#include "TextFormat.h"

namespace {

// The rules, in the order they are tried; the first that matches gives the reason.
struct Rule {
    enum Kind {
        extension,  // the file name ends with the text
        fileName,   // the file name is the text
        folders,    // the path holds these folders one after the other ("addons/metamod")
        signature,  // the content starts with the bytes
    } kind;
    std::string_view text;
    int reasonId;
    const char* shown;  // what the reason names
};

constexpr Rule kRules[] = {
    {Rule::extension, ".exe", IDS_RISKY_PROGRAM, ".exe"},
    {Rule::extension, ".dll", IDS_RISKY_PROGRAM, ".dll"},
    {Rule::extension, ".so", IDS_RISKY_PROGRAM, ".so"},
    {Rule::extension, ".dylib", IDS_RISKY_PROGRAM, ".dylib"},
    {Rule::extension, ".asi", IDS_RISKY_PROGRAM, ".asi"},
    {Rule::extension, ".bat", IDS_RISKY_PROGRAM, ".bat"},
    {Rule::extension, ".cmd", IDS_RISKY_PROGRAM, ".cmd"},
    {Rule::extension, ".com", IDS_RISKY_PROGRAM, ".com"},
    {Rule::extension, ".scr", IDS_RISKY_PROGRAM, ".scr"},
    {Rule::extension, ".ps1", IDS_RISKY_PROGRAM, ".ps1"},
    {Rule::extension, ".vbs", IDS_RISKY_PROGRAM, ".vbs"},
    {Rule::extension, ".sh", IDS_RISKY_PROGRAM, ".sh"},
    {Rule::extension, ".py", IDS_RISKY_PROGRAM, ".py"},
    {Rule::extension, ".jar", IDS_RISKY_PROGRAM, ".jar"},
    {Rule::signature,
     "\x7f"
     "ELF",
     IDS_RISKY_SIGNATURE, "ELF"},
    {Rule::signature, "MZ", IDS_RISKY_SIGNATURE, "PE (MZ)"},
    {Rule::signature, "\xfe\xed\xfa\xce", IDS_RISKY_SIGNATURE, "Mach-O"},
    {Rule::signature, "\xfe\xed\xfa\xcf", IDS_RISKY_SIGNATURE, "Mach-O"},
    {Rule::signature, "\xce\xfa\xed\xfe", IDS_RISKY_SIGNATURE, "Mach-O"},
    {Rule::signature, "\xcf\xfa\xed\xfe", IDS_RISKY_SIGNATURE, "Mach-O"},
    {Rule::signature, "\xca\xfe\xba\xbe", IDS_RISKY_SIGNATURE, "Mach-O"},
    {Rule::folders, "cl_dlls", IDS_RISKY_GAME_CODE, "cl_dlls/"},
    {Rule::folders, "dlls", IDS_RISKY_GAME_CODE, "dlls/"},
    {Rule::folders, "addons/metamod", IDS_RISKY_GAME_CODE, "addons/metamod/"},
    {Rule::fileName, "liblist.gam", IDS_RISKY_CONFIGURATION, "liblist.gam"},
    {Rule::fileName, "gameinfo.txt", IDS_RISKY_CONFIGURATION, "gameinfo.txt"},
    {Rule::extension, ".cfg", IDS_RISKY_CONFIGURATION, ".cfg"},
};

// The names of a path in lower case, either separator: the rules' texts are ASCII, so no other
// letter can match them whatever its case.
std::vector<std::string> Names(std::string_view path) {
    std::vector<std::string> names(1);
    for (const char c : path) {
        if (c == '/' || c == '\\') {
            if (!names.back().empty()) {
                names.emplace_back();
            }
        } else {
            names.back() += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    if (names.back().empty()) {
        names.pop_back();
    }
    return names;
}

bool Matches(const Rule& rule, const std::vector<std::string>& names, std::string_view head) {
    if (rule.kind == Rule::signature) {
        return head.substr(0, rule.text.size()) == rule.text;
    }
    if (names.empty()) {
        return false;
    }
    const std::string& file = names.back();
    switch (rule.kind) {
        case Rule::extension:
            return file.size() > rule.text.size() && file.ends_with(rule.text);
        case Rule::fileName:
            return file == rule.text;
        case Rule::folders: {
            static const std::vector<std::vector<std::string>> folderRules = [] {
                std::vector<std::vector<std::string>> all;
                for (const Rule& each : kRules) {
                    all.push_back(Names(each.text));
                }
                return all;
            }();
            const std::vector<std::string>& wanted = folderRules[&rule - kRules];
            for (size_t i = 0; i + wanted.size() < names.size(); ++i) {
                if (std::equal(wanted.begin(), wanted.end(), names.begin() + i)) {
                    return true;
                }
            }
            return false;
        }
        case Rule::signature:
            break;
    }
    return false;
}

}  // namespace

std::string RiskyContent::Reason(std::string_view path, std::string_view head) {
    const std::vector<std::string> names = Names(path);
    for (const Rule& rule : kRules) {
        if (Matches(rule, names, head)) {
            return TextFormat::Format(CStringTable::Load(rule.reasonId), {rule.shown});
        }
    }
    return {};
}
