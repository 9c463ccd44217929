#pragma once

#include <string>

// The "last system error" of the calling thread. POSIX has only errno, which every library
// call may change; the platform services record their own failures here so that an error text
// asked for later still describes the failure that mattered.
class SystemError {
public:
    static int Last();
    static void SetLast(int error);
    // Records errno as the last system error and returns it.
    static int CaptureErrno();
    // The platform's description of an error number.
    static std::string Text(int error);
};
