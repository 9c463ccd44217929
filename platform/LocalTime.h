#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// Local-time conversions of MS-DOS time stamps.
class LocalTime {
public:
    // The DOS date and time read as local time, with daylight saving as the system has it for
    // that date. Out-of-range fields are normalised, not refused. -1 when the result does not
    // fit a signed 32-bit time value (from 2038 on).
    static std::time_t FromDos(uint16_t date, uint16_t time);
    // strftime of the time in local time; empty for -1.
    static std::string Format(std::time_t time, const std::string& pattern);
    // Names the system's time zone explicitly when TZ is not set: the C library otherwise looks
    // at the zone file again for every conversion, a system call per archive entry. Call once at
    // start-up, before other threads exist.
    static void SettleZone();
};
