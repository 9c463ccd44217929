#include "CaseFold.h"
#include "InstallJob.h"
#include "InstallOptions.h"

int InstallJob::SourceTypeOf(const std::string& source) {
    return source.size() >= 4 && CaseFold::Fold(source.substr(source.size() - 4)) == ".zip"
               ? sourceFile
               : sourceFolder;
}

std::string InstallOptions::NormalizeMiscPath(std::string text) {
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (!text.empty() && text.back() != '\\') {
        text += '\\';
    }
    if (!text.empty() && text.front() == '\\') {
        text.erase(0, 1);
    }
    return text;
}
