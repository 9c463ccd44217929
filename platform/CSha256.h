#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct evp_md_ctx_st;

// SHA-256 through OpenSSL's libcrypto: what an install journal records of every file, so that a
// later uninstall only takes away a file that is still the one written.
class CSha256 {
public:
    using Digest = std::array<uint8_t, 32>;

    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    void Update(const void* data, size_t size);
    // The digest of everything given since the start; the object starts again afterwards.
    Digest Final();

    static std::string Hex(const Digest& digest);
    // The digest of a regular file, read without following a link at its last component; false
    // (with the system error recorded) when it cannot be read or is not a regular file.
    static bool OfFile(const std::string& path, Digest& digest, uint64_t* size = nullptr);
    static Digest OfText(const std::string& text);

private:
    evp_md_ctx_st* context;
};
