#include "FileNode.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "FileSystem.h"

FileNode FileNode::Look(const std::string& path, bool withLinkText) {
    FileNode node;
    struct stat st {};
    const std::string native = FileSystem::NativePath(path);
    if (::lstat(native.c_str(), &st) != 0) {
        return node;
    }
    node.kind = S_ISREG(st.st_mode)   ? file
                : S_ISDIR(st.st_mode) ? folder
                : S_ISLNK(st.st_mode) ? link
                                      : other;
    node.size = static_cast<uint64_t>(st.st_size);
    node.modified = st.st_mtim.tv_sec;
    node.device = st.st_dev;
    node.inode = st.st_ino;
    if (withLinkText && node.kind == link) {
        std::vector<char> text(static_cast<size_t>(st.st_size) + 1);
        const ssize_t n = ::readlink(native.c_str(), text.data(), text.size());
        node.linkText.assign(text.data(), n < 0 ? 0 : static_cast<size_t>(n));
    }
    return node;
}
