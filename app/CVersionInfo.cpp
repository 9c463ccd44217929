#include "CVersionInfo.h"

#include <cstdio>

#include "ProgramPath.h"

namespace {

std::string QueryPath(const std::string& key, const std::string& name) {
    return "\\StringFileInfo\\" + key + "\\" + name;
}

}  // namespace

bool CVersionInfo::Load(const std::string& modulePath) {
    // A failed load leaves nothing of an earlier one to read.
    Clear();
    if (!::ProgramPath::IsProgram(modulePath)) {
        return false;
    }
    return LoadBlock(ProgramBlock());
}

bool CVersionInfo::LoadBlock(const Block& block) {
    Clear();
    fixed = block.fixed;
    for (const StringTable& table : block.tables) {
        for (const StringValue& value : table.values) {
            strings[QueryPath(table.key, value.name)] = value.value;
        }
    }
    if (!block.translations.empty()) {
        language = block.translations.front().language;
        codePage = block.translations.front().codePage;
    }
    loaded = true;
    return fixed.signature == kSignature;
}

std::string CVersionInfo::GetString(const std::string& name) const {
    if (!loaded) {
        return {};
    }
    char key[9];
    std::snprintf(key, sizeof key, "%04x%04x", unsigned(language), unsigned(codePage));
    const auto found = strings.find(QueryPath(key, name));
    return found == strings.end() ? std::string() : found->second;
}

std::string CVersionInfo::ProgramPath() {
    return ::ProgramPath::Get();
}

void CVersionInfo::Clear() {
    fixed = FixedInfo();
    language = 0;
    codePage = kDefaultCodePage;
    loaded = false;
    strings.clear();
}
