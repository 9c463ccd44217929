#include "CZipException.h"

#include <zlib.h>

#include <cerrno>
#include <utility>

#include "SystemError.h"

namespace {

const char* FixedText(int cause) {
    switch (cause) {
        case 1:
            return "Not super-user";
        case 2:
            return "No such file or directory";
        case 4:
            return "Interrupted system call";
        case 5:
            return "I/O error";
        case 6:
            return "No such device or address";
        case 9:
            return "Bad file number";
        case 12:
            return "Not enough space";
        case 13:
            return "Permission denied";
        case 14:
            return "Bad address";
        case 17:
            return "File exists";
        case 18:
            return "Cross-device link";
        case 19:
            return "No such device";
        case 20:
            return "Not a directory";
        case 21:
            return "Is a directory";
        case 22:
            return "Invalid argument";
        case 23:
            return "File table overflow";
        case 24:
            return "Too many open files";
        case 27:
            return "File too large";
        case 28:
            return "No space left on device";
        case 29:
            return "Illegal seek";
        case 30:
            return "Read-only file system";
        case CZipException::badZipFile:
            return "Damaged or not a zip file";
        case CZipException::badCrc:
            return "Crc mismatched";
        case CZipException::noCallback:
            return "No disk-spanning callback functor set";
        case CZipException::aborted:
            return "Disk change aborted";
        case CZipException::abortedAction:
            return "Action aborted";
        case CZipException::abortedSafely:
            return "Action aborted safely";
        case CZipException::nonRemovable:
            return "The device selected for the disk spanning archive is non removable";
        case CZipException::tooManyVolumes:
            return "Limit of the maximum volumes reached (999)";
        case CZipException::tooLongFileName:
            return "The filename of the file being added to the archive is too long";
        case CZipException::badPassword:
            return "Incorrect password set for the file being decrypted";
        case CZipException::dirWithSize:
            return "During testing found the directory with the size greater than 0";
        case CZipException::internal:
            return "Internal error";
        case CZipException::platformNotSupported:
            return "Cannot create the file for the specified platform";
        case CZipException::cdirNotFound:
            return "The central directory was not found in the archive (or you were trying to "
                   "open not the last disk of a multi-disk archive)";
        case CZipException::unsafeName:
            return "The entry's path leads outside the folder it is extracted into";
        case CZipException::streamEnd:
            return "Zlib Library error (end of stream)";
        case CZipException::streamError:
            return "Zlib library error (stream error)";
        case CZipException::dataError:
            return "Zlib library error (data error)";
        case CZipException::memError:
            return "Not enough memory";
        case CZipException::bufError:
            return "Zlib library error (buffer error)";
        case CZipException::versionError:
            return "Zlib library error (version error)";
        default:
            return nullptr;
    }
}

}  // namespace

CZipException::CZipException(int cause_, std::string fileName_)
    : fileName(std::move(fileName_)), cause(cause_) {}

int CZipException::ZlibErrorToCause(int zlibResult) {
    switch (zlibResult) {
        case Z_VERSION_ERROR:
            return versionError;
        case Z_BUF_ERROR:
            return bufError;
        case Z_MEM_ERROR:
            return memError;
        case Z_DATA_ERROR:
            return dataError;
        case Z_STREAM_ERROR:
            return streamError;
        case Z_ERRNO:
            return errNo;
        case Z_STREAM_END:
            return streamEnd;
        case Z_NEED_DICT:
            return needDict;
        default:
            return generic;
    }
}

std::string CZipException::SystemText() {
    if (const int last = SystemError::Last(); last != 0) {
        return SystemError::Text(last);
    }
    // Only a fixed text may stand for errno here: the texts of 113, 114 and 502 are built from
    // this one, and an errno of that value would come back to it without end.
    const int error = errno;
    const char* text = FixedText(error != 0 ? error : generic);
    return text != nullptr ? text : "Unknown error";
}

std::string CZipException::CauseText(int cause, bool allowFallback) {
    if (const char* text = FixedText(cause)) {
        return text;
    }
    if (cause == notRemoved || cause == notRenamed) {
        const char* head =
            cause == notRemoved ? "Error while removing a file" : "Error while renaming a file";
        return std::string(head) + " (" + SystemText() + ")";
    }
    if (cause == errNo) {
        const int error = errno;
        return CauseText(error != errNo ? error : generic, true);
    }
    return allowFallback ? SystemText() : std::string("Unknown error");
}

bool CZipException::GetErrorMessage(char* buffer, unsigned maxChars, unsigned*) const {
    return CopyMessage(CauseText(cause, true), buffer, maxChars);
}
