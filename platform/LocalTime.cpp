#include "LocalTime.h"

#include <cstdlib>
#include <limits>

std::time_t LocalTime::FromDos(uint16_t date, uint16_t time) {
    std::tm parts{};
    parts.tm_sec = (time & 0x1F) * 2;
    parts.tm_min = (time >> 5) & 0x3F;
    parts.tm_hour = (time >> 11) & 0x1F;
    parts.tm_mday = date & 0x1F;
    parts.tm_mon = ((date >> 5) & 0x0F) - 1;
    parts.tm_year = 80 + ((date >> 9) & 0x7F);
    parts.tm_isdst = -1;
    const std::time_t result = std::mktime(&parts);
    if (result == static_cast<std::time_t>(-1) || result > std::numeric_limits<int32_t>::max() ||
        result < std::numeric_limits<int32_t>::min()) {
        return static_cast<std::time_t>(-1);
    }
    return result;
}

std::string LocalTime::Format(std::time_t time, const std::string& pattern) {
    if (time == static_cast<std::time_t>(-1) || pattern.empty()) {
        return {};
    }
    std::tm parts{};
    if (localtime_r(&time, &parts) == nullptr) {
        return {};
    }
    char buffer[256];
    const size_t n = std::strftime(buffer, sizeof buffer, pattern.c_str(), &parts);
    return std::string(buffer, n);
}

void LocalTime::SettleZone() {
    if (std::getenv("TZ") == nullptr) {
        ::setenv("TZ", ":/etc/localtime", 0);
    }
    ::tzset();
}
