#pragma once

#include <string>

#include "CException.h"

// A file-system failure, with the causes of the application framework that the program's
// catchers know (access denied and sharing violation make the archive reader retry read-only).
class CFileException : public CException {
public:
    enum Cause {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException(int cause, int osError, std::string fileName);

    // The cause that the framework gives an operating-system error number.
    static int CauseFromErrno(int error);
    static CFileException FromErrno(int error, const std::string& fileName);

    bool GetErrorMessage(char* buffer, unsigned maxChars,
                         unsigned* helpContext = nullptr) const override;

    int cause;
    int osError;
    std::string fileName;
};
