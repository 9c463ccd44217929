#include "SystemError.h"

#include <cerrno>
#include <cstring>

namespace {
thread_local int lastSystemError = 0;
}

int SystemError::Last() {
    return lastSystemError;
}

void SystemError::SetLast(int error) {
    lastSystemError = error;
}

int SystemError::CaptureErrno() {
    lastSystemError = errno;
    return lastSystemError;
}

std::string SystemError::Text(int error) {
    char buffer[256];
    // GNU strerror_r may return a static string instead of filling the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text != nullptr ? std::string(text) : std::string();
}
