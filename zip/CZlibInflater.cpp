#include "CZlibInflater.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

CZlibInflater::CZlibInflater() = default;

CZlibInflater::~CZlibInflater() {
    Release();
}

voidpf CZlibInflater::Allocate(voidpf opaque, uInt items, uInt size) {
    auto* self = static_cast<CZlibInflater*>(opaque);
    // zlib never relies on zeroed memory; calloc would clear its 32 KiB window on every entry.
    void* block =
        items != 0 && size > SIZE_MAX / items ? nullptr : std::malloc(size_t{items} * size);
    if (block != nullptr) {
        try {
            self->blocks.push_back(block);
        } catch (...) {
            std::free(block);
            return Z_NULL;
        }
    }
    return block;
}

void CZlibInflater::Free(voidpf opaque, voidpf address) {
    auto* self = static_cast<CZlibInflater*>(opaque);
    const auto it = std::find(self->blocks.begin(), self->blocks.end(), address);
    if (it != self->blocks.end()) {
        self->blocks.erase(it);
    }
    std::free(address);
}

int CZlibInflater::Start() {
    Release();
    stream = z_stream{};
    stream.zalloc = &CZlibInflater::Allocate;
    stream.zfree = &CZlibInflater::Free;
    stream.opaque = this;
    const int result = inflateInit2(&stream, -MAX_WBITS);
    started = result == Z_OK;
    return result;
}

IInflater::Step CZlibInflater::Inflate(const uint8_t* input, size_t inputSize, uint8_t* output,
                                       size_t outputSize) {
    constexpr size_t kMax = std::numeric_limits<uInt>::max();
    stream.next_in = const_cast<Bytef*>(input);
    stream.avail_in = static_cast<uInt>(std::min(inputSize, kMax));
    stream.next_out = output;
    stream.avail_out = static_cast<uInt>(std::min(outputSize, kMax));
    const uInt inBefore = stream.avail_in;
    const uInt outBefore = stream.avail_out;
    const int result = inflate(&stream, Z_SYNC_FLUSH);
    return Step{inBefore - stream.avail_in, outBefore - stream.avail_out, result};
}

void CZlibInflater::Finish() {
    if (started) {
        inflateEnd(&stream);
        started = false;
    }
}

void CZlibInflater::Release() noexcept {
    // After a failure inflateEnd is not trusted with the stream; its blocks are freed here.
    for (void* block : blocks) {
        std::free(block);
    }
    blocks.clear();
    started = false;
}
