#include "EntryDestination.h"

std::string EntryDestination::Folder() const {
    const size_t separator = path.rfind('\\');
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string EntryDestination::FileName() const {
    const size_t separator = path.rfind('\\');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}
