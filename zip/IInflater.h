#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// A raw-deflate decompressor. Results are zlib's codes (Z_OK, Z_STREAM_END, Z_DATA_ERROR...),
// which the archive maps to its causes; another back-end maps its own errors onto them.
class IInflater {
public:
    struct Step {
        size_t consumed;
        size_t produced;
        int result;
    };

    virtual ~IInflater() = default;
    // Prepares a new stream.
    virtual int Start() = 0;
    // Decompresses from input into output as far as both allow.
    virtual Step Inflate(const uint8_t* input, size_t inputSize, uint8_t* output,
                         size_t outputSize) = 0;
    // Ends the stream normally.
    virtual void Finish() = 0;
    // Frees whatever the stream still holds, also after a failure in the middle of it.
    virtual void Release() noexcept = 0;
    // Blocks the decompressor still holds.
    virtual size_t TrackedBlockCount() const = 0;

    // The inflater the build chose: ISA-L where it was found (or asked for), zlib otherwise.
    static std::unique_ptr<IInflater> Create();
    static const char* BackEndName();
};
