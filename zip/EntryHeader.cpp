#include "EntryHeader.h"

#include "CodePage437.h"
#include "FileSystem.h"
#include "LocalTime.h"
#include "ZipRecords.h"

namespace {

constexpr uint32_t kDefaultFolderAttributes = 0x41FF0010;
constexpr uint32_t kDefaultFileAttributes = 0x81A40020;

bool EndsWithSeparator(const std::string& name) {
    return !name.empty() && (name.back() == '\\' || name.back() == '/');
}

}  // namespace

std::time_t EntryHeader::GetTime() const {
    return LocalTime::FromDos(modDate, modTime);
}

uint32_t EntryHeader::GetSystemAttributes() const {
    const int host = HostSystem();
    const bool supported = host == ZipRecords::kHostMsDos || host == ZipRecords::kHostUnix ||
                           host == ZipRecords::kHostOs2 || host == ZipRecords::kHostMacintosh ||
                           host == ZipRecords::kHostNtfs;
    if (!supported) {
        return EndsWithSeparator(name) ? kDefaultFolderAttributes : kDefaultFileAttributes;
    }
    if (externalAttributes == 0 && EndsWithSeparator(name)) {
        return kDefaultFolderAttributes;
    }
    switch (host) {
        case ZipRecords::kHostUnix: {
            uint32_t attributes = 0;
            if (externalAttributes & (1u << 30)) {
                attributes |= FileSystem::kDirectory;
            }
            if (!(externalAttributes & (1u << 22))) {
                attributes |= FileSystem::kArchive;
            }
            if (!(externalAttributes & (1u << 23))) {
                attributes |= FileSystem::kReadOnly;
            }
            if (!(externalAttributes & (1u << 24))) {
                attributes |= FileSystem::kHidden;
            }
            return attributes;
        }
        case ZipRecords::kHostMacintosh:
            return externalAttributes & 0x11;
        default:
            return externalAttributes;
    }
}

bool EntryHeader::IsDirectory() const {
    return (GetSystemAttributes() & FileSystem::kDirectory) != 0;
}

std::string EntryHeader::ConvertName(const std::string& stored, int hostSystem, uint16_t flags) {
    std::string name = hostSystem == ZipRecords::kHostMsDos && !(flags & ZipRecords::kFlagUtf8)
                           ? CodePage437::ToUtf8(stored)
                           : stored;
    for (char& c : name) {
        if (c == '/') {
            c = '\\';
        }
    }
    return name;
}
