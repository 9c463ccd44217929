#include "CException.h"

#include <algorithm>
#include <cstring>
#include <vector>

bool CException::CopyMessage(const std::string& text, char* buffer, unsigned maxChars) {
    if (buffer == nullptr || maxChars == 0 || text.empty()) {
        return false;
    }
    const size_t n = std::min<size_t>(text.size(), maxChars - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return true;
}

std::string CException::ErrorMessage(unsigned maxChars) const {
    if (maxChars == 0) {
        return {};
    }
    std::vector<char> buffer(maxChars, '\0');
    if (!GetErrorMessage(buffer.data(), maxChars)) {
        return {};
    }
    std::string text(buffer.data());
    // A cut in the middle of a UTF-8 sequence would leave a broken character in reports.
    size_t end = text.size();
    size_t lead = end;
    while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) {
        --lead;
    }
    if (lead > 0) {
        const auto c = static_cast<unsigned char>(text[lead - 1]);
        const size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (c >= 0xC0 && end - (lead - 1) < need) {
            text.resize(lead - 1);
        }
    }
    return text;
}
