#include "TextFormat.h"

std::string TextFormat::Format(const std::string& pattern,
                               std::initializer_list<std::string> args) {
    return Format(pattern, std::vector<std::string>(args));
}

std::string TextFormat::Format(const std::string& pattern, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(pattern.size() + 64);
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const char kind = pattern[i + 1];
            if (kind == 's' || kind == 'd') {
                if (next != args.end()) {
                    out += *next++;
                }
                ++i;
                continue;
            }
            if (kind == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}
