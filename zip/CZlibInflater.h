#pragma once

#include <zlib.h>

#include <vector>

#include "IInflater.h"

// zlib's raw inflate. Every block zlib allocates is recorded, so that a stream abandoned after
// an error (without inflateEnd) leaks nothing.
class CZlibInflater : public IInflater {
public:
    CZlibInflater();
    ~CZlibInflater() override;

    int Start() override;
    Step Inflate(const uint8_t* input, size_t inputSize, uint8_t* output,
                 size_t outputSize) override;
    void Finish() override;
    void Release() noexcept override;

    size_t TrackedBlockCount() const override { return blocks.size(); }
    // zlib's own description of the last error, or null.
    const char* LastMessage() const { return stream.msg; }

private:
    static voidpf Allocate(voidpf opaque, uInt items, uInt size);
    static void Free(voidpf opaque, voidpf address);

    z_stream stream{};
    bool started = false;
    std::vector<void*> blocks;
};
