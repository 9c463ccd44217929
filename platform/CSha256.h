#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// SHA-256 through OpenSSL's libcrypto: what an install journal records of every file, so that a
// later uninstall only takes away a file that is still the one written.
class CSha256 {
public:
    using Digest = std::array<uint8_t, 32>;

    CSha256();

    void Update(const void* data, size_t size);
    // The digest of everything given since the start; the object starts again afterwards.
    Digest Final();

    static std::string Hex(const Digest& digest);
    // The digest of a regular file, read without following a link at its last component; false
    // (with the system error recorded) when it cannot be read or is not a regular file.
    static bool OfFile(const std::string& path, Digest& digest, uint64_t* size = nullptr);
    static Digest OfText(const std::string& text);

private:
    // libcrypto's own SHA-256 state, held here: the generic digest interface allocates a
    // context and loads its providers (2 MiB at the first use), a cost per file for an
    // install of 20,000 small files.
    alignas(16) unsigned char state[112];
};
