#include "CIniSettingsReader.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Qt's INI value: quoted parts and escapes; an unquoted ',' makes a list, which reads as the
// empty text; "@@" stands for a leading '@', and other "@..." values are Qt's own encodings.
std::string Unescape(const std::string& raw) {
    std::string out;
    bool quoted = false;
    bool list = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < raw.size()) {
            const char e = raw[++i];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'a':
                    out += '\a';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'v':
                    out += '\v';
                    break;
                case '0':
                    out += '\0';
                    break;
                default:
                    out += e;
                    break;
            }
        } else if (c == ',' && !quoted) {
            list = true;
        } else if (quoted || (c != ' ' && c != '\t') || !out.empty()) {
            out += c;
        }
    }
    if (list) {
        return {};
    }
    if (out.rfind("@@", 0) == 0) {
        return out.substr(1);
    }
    return out.rfind('@', 0) == 0 ? std::string() : out;
}

}  // namespace

std::string CIniSettingsReader::DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string base = config != nullptr && *config == '/'
                                 ? std::string(config)
                                 : std::string(home != nullptr ? home : "") + "/.config";
    return base + "/Orbelle/Zanvo.conf";
}

CIniSettingsReader::CIniSettingsReader() {
    std::ifstream in(DefaultPath(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    Parse(text.str());
}

CIniSettingsReader CIniSettingsReader::FromText(const std::string& text) {
    CIniSettingsReader reader{Empty{}};
    reader.Parse(text);
    return reader;
}

void CIniSettingsReader::Parse(const std::string& text) {
    std::istringstream lines(text);
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        std::string key = Trim(line.substr(0, equals));
        for (char& c : key) {
            if (c == '\\') {
                c = '/';
            }
        }
        if (!section.empty() && section != "General") {
            key = section + "/" + key;
        }
        values[key] = Unescape(Trim(line.substr(equals + 1)));
    }
}

std::optional<std::string> CIniSettingsReader::Read(const std::string& key) const {
    const auto found = values.find(key);
    return found != values.end() ? std::optional(found->second) : std::nullopt;
}
