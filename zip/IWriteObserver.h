#pragma once

#include <cstddef>
#include <string>

// Follows the file an extraction writes, for whoever keeps a record of an installation: the
// bytes as they are written, and the moment before the file takes its name. Called on the
// thread that writes.
class IWriteObserver {
public:
    virtual ~IWriteObserver() = default;
    virtual void Written(const void* data, size_t size) = 0;
    // What stands at target is still there. An exception fails the entry: nothing is replaced.
    virtual void BeforeCommit(const std::string& target) = 0;
};
