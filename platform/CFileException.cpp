#include "CFileException.h"

#include <cerrno>
#include <utility>

#include "FrameworkTexts.h"

CFileException::CFileException(int cause_, int osError_, std::string fileName_)
    : cause(cause_), osError(osError_), fileName(std::move(fileName_)) {}

int CFileException::CauseFromErrno(int error) {
    switch (error) {
        case 0:
            return none;
        case ENOENT:
            return fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
        case EINVAL:
            return badPath;
        case EMFILE:
        case ENFILE:
            return tooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case EEXIST:
            return accessDenied;
        case EBADF:
            return invalidFile;
        case ESPIPE:
            return badSeek;
        case EIO:
            return hardIO;
        case ETXTBSY:
        case EBUSY:
            return sharingViolation;
        case ENOLCK:
            return lockViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return diskFull;
        default:
            return genericException;
    }
}

CFileException CFileException::FromErrno(int error, const std::string& fileName) {
    return CFileException(CauseFromErrno(error), error, fileName);
}

bool CFileException::GetErrorMessage(char* buffer, unsigned maxChars, unsigned*) const {
    return CopyMessage(FrameworkTexts::FileError(cause, fileName), buffer, maxChars);
}
