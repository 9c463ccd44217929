#include "CaseFold.h"
#include "InstallJob.h"
#include "InstallOptions.h"

int InstallJob::SourceTypeOf(const std::string& source) {
    return source.size() >= 4 && CaseFold::Fold(source.substr(source.size() - 4)) == ".zip"
               ? sourceFile
               : sourceFolder;
}

std::string InstallOptions::NormalizeMiscPath(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != '\\' && c != '/') {
            out += c;
        } else if (!out.empty() && out.back() != '\\') {
            out += '\\';
        }
    }
    if (!out.empty() && out.back() != '\\') {
        out += '\\';
    }
    return out;
}

bool InstallOptions::MiscPathClimbs(const std::string& normalized) {
    return ("\\" + normalized).find("\\..\\") != std::string::npos;
}
