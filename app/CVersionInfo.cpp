// PLACEHOLDER (scaffolding): replaced by the version block's reader.
#include "CVersionInfo.h"

bool CVersionInfo::Load(const std::string&) { return false; }
std::string CVersionInfo::GetString(const std::string&) const { return {}; }
std::string CVersionInfo::ProgramPath() { return {}; }
