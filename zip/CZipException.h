#pragma once

#include <string>

#include "CException.h"

// The archive layer's error: a numeric cause with a fixed English text (the same in every
// user-interface language) and the file concerned, which is not part of the text.
class CZipException : public CException {
public:
    enum Cause {
        generic = 100,
        badZipFile = 101,
        badCrc = 102,
        noCallback = 103,
        aborted = 104,
        abortedAction = 105,
        abortedSafely = 106,
        nonRemovable = 107,
        tooManyVolumes = 108,
        tooLongFileName = 109,
        badPassword = 110,
        dirWithSize = 111,
        internal = 112,
        notRemoved = 113,
        notRenamed = 114,
        platformNotSupported = 115,
        cdirNotFound = 116,
        unsafeName = 117,
        streamEnd = 500,
        needDict = 501,
        errNo = 502,
        streamError = 503,
        dataError = 504,
        memError = 505,
        bufError = 506,
        versionError = 507,
    };

    explicit CZipException(int cause = generic, std::string fileName = {});

    // The cause of a zlib result code.
    static int ZlibErrorToCause(int zlibResult);
    // The text of a cause; without the fallback a cause without a text gives "Unknown error".
    static std::string CauseText(int cause, bool allowFallback);
    // The description of the last operating-system error, in the order: the last system error,
    // then errno, then "Unknown error".
    static std::string SystemText();

    bool GetErrorMessage(char* buffer, unsigned maxChars,
                         unsigned* helpContext = nullptr) const override;

    std::string fileName;
    int cause;
};
