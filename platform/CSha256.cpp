#include "CSha256.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <vector>

#include "FileSystem.h"
#include "SystemError.h"

namespace {

// Looked up once: OpenSSL 3 looks an algorithm up among its providers at each implicit use,
// which costs more than hashing a small file.
const EVP_MD* Algorithm() {
    static EVP_MD* const algorithm = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    return algorithm;
}

}  // namespace

CSha256::CSha256() : context(EVP_MD_CTX_new()) {
    if (context == nullptr || Algorithm() == nullptr ||
        EVP_DigestInit_ex(context, Algorithm(), nullptr) != 1) {
        EVP_MD_CTX_free(context);
        throw std::bad_alloc();
    }
}

CSha256::~CSha256() {
    EVP_MD_CTX_free(context);
}

void CSha256::Update(const void* data, size_t size) {
    if (size > 0) {
        EVP_DigestUpdate(context, data, size);
    }
}

CSha256::Digest CSha256::Final() {
    Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest.data(), &length);
    EVP_DigestInit_ex(context, Algorithm(), nullptr);
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
