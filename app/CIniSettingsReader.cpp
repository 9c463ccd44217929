#include "CIniSettingsReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "Utf8.h"

namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The value of a digit in base 8 or 16, or -1.
int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
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
                case 'x':
                case '0':
                case '1':
                case '2':
                case '3':
                case '4':
                case '5':
                case '6':
                case '7': {
                    // Qt writes control characters as \x and a hex number (and reads octal too),
                    // taking every digit that follows.
                    const int base = e == 'x' ? 16 : 8;
                    char32_t value = e == 'x' ? 0 : static_cast<char32_t>(e - '0');
                    bool any = e != 'x';
                    for (int digit;
                         i + 1 < raw.size() && (digit = DigitValue(raw[i + 1], base)) >= 0; ++i) {
                        value = (value * base + static_cast<char32_t>(digit)) & 0xFFFF;
                        any = true;
                    }
                    if (any) {
                        Utf8::Append(out, value);
                    }
                    break;
                }
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
    // Opened without waiting (a pipe would block the open), looked at before it is read.
    const int handle = ::open(DefaultPath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0) {
        if (errno != ENOENT) {
            error = errno;
            refusal = Refusal::unreadable;
        }
        return;
    }
    std::string text;
    struct stat st {};
    if (::fstat(handle, &st) != 0) {
        error = errno;
        refusal = Refusal::unreadable;
    } else if (!S_ISREG(st.st_mode)) {
        refusal = Refusal::notAFile;
    } else if (static_cast<uint64_t>(st.st_size) > kMaxFileSize) {
        refusal = Refusal::tooLarge;
    } else {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(handle, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                error = errno;
                refusal = Refusal::unreadable;
                break;
            }
            if (n == 0) {
                break;
            }
            text.append(buffer, static_cast<size_t>(n));
            if (text.size() > kMaxFileSize) {  // it grew since it was looked at
                refusal = Refusal::tooLarge;
                break;
            }
        }
    }
    ::close(handle);
    if (refusal == Refusal::none) {
        Parse(text);
    }
}

CIniSettingsReader CIniSettingsReader::FromText(const std::string& text) {
    CIniSettingsReader reader{Empty{}};
    reader.Parse(text);
    return reader;
}

void CIniSettingsReader::Parse(const std::string& text) {
    // An editor may have put a byte order mark in front; Qt reads past it.
    const std::string bom = "\xEF\xBB\xBF";
    std::istringstream lines(text.rfind(bom, 0) == 0 ? text.substr(bom.size()) : text);
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
