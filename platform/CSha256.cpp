#include "CSha256.h"

// The digest functions themselves (not the generic interface), which OpenSSL 3 keeps but marks
// as superseded.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <fcntl.h>
#include <openssl/sha.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "FileSystem.h"
#include "SystemError.h"

static_assert(sizeof(SHA256_CTX) <= 112, "the state does not fit");

namespace {

SHA256_CTX& Context(unsigned char* state) {
    return *reinterpret_cast<SHA256_CTX*>(state);
}

}  // namespace

CSha256::CSha256() {
    SHA256_Init(&Context(state));
}

void CSha256::Update(const void* data, size_t size) {
    if (size > 0) {
        SHA256_Update(&Context(state), data, size);
    }
}

CSha256::Digest CSha256::Final() {
    Digest digest{};
    SHA256_Final(digest.data(), &Context(state));
    SHA256_Init(&Context(state));
    return digest;
}

std::string CSha256::Hex(const Digest& digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (const uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

CSha256::Digest CSha256::OfText(const std::string& text) {
    CSha256 sha;
    sha.Update(text.data(), text.size());
    return sha.Final();
}

bool CSha256::OfFile(const std::string& path, Digest& digest, uint64_t* size) {
    const int handle = ::open(FileSystem::NativePath(path).c_str(),
                              O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (handle < 0) {
        SystemError::CaptureErrno();
        return false;
    }
    struct stat st {};
    if (::fstat(handle, &st) != 0 || !S_ISREG(st.st_mode)) {
        SystemError::SetLast(S_ISREG(st.st_mode) ? errno : EINVAL);
        ::close(handle);
        return false;
    }
    CSha256 sha;
    std::vector<uint8_t> buffer(1 << 16);
    uint64_t total = 0;
    for (;;) {
        const ssize_t n = ::read(handle, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            SystemError::CaptureErrno();
            ::close(handle);
            return false;
        }
        if (n == 0) {
            break;
        }
        sha.Update(buffer.data(), static_cast<size_t>(n));
        total += static_cast<uint64_t>(n);
    }
    ::close(handle);
    digest = sha.Final();
    if (size != nullptr) {
        *size = total;
    }
    return true;
}
