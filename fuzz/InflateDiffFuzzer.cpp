// The differential inflate target: the same raw deflate bytes go through zlib and ISA-L, which
// must agree on whether the stream ends well and, when it does, on every byte it holds. The one
// difference allowed is ISA-L's leniency with dynamic blocks whose Huffman code sets are
// incomplete or over-subscribed, which zlib refuses when it reads the block's header: no
// compressor writes them, and an entry decoded from one is still held to its CRC-32 (and the
// reader then reports zlib's verdict). The first byte of the input picks the chunk sizes, so
// that both are also driven in small steps.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "CIsalInflater.h"
#include "CZlibInflater.h"

namespace {

constexpr size_t kOutputCap = 1 << 20;  // a longer stream is compared on its first MiB

struct Outcome {
    bool ended = false;
    bool capped = false;
    std::vector<uint8_t> bytes;
    std::string message;  // zlib's, when it failed
};

// zlib's refusals of a dynamic block's code sets, made before any of the block's data.
bool RefusedCodeSet(const std::string& message) {
    for (const char* known : {"invalid code lengths set", "invalid literal/lengths set",
                              "invalid distances set", "invalid bit length repeat"}) {
        if (message == known) {
            return true;
        }
    }
    return false;
}

Outcome Run(IInflater& inflater, const uint8_t* data, size_t size, size_t inChunk,
            size_t outChunk) {
    Outcome outcome;
    if (inflater.Start() != Z_OK) {
        std::abort();
    }
    std::vector<uint8_t> buffer(outChunk);
    size_t position = 0;
    for (;;) {
        const size_t offered = std::min(inChunk, size - position);
        const IInflater::Step step =
            inflater.Inflate(data + position, offered, buffer.data(), buffer.size());
        position += step.consumed;
        outcome.bytes.insert(outcome.bytes.end(), buffer.begin(),
                             buffer.begin() + static_cast<std::ptrdiff_t>(step.produced));
        if (step.result == Z_STREAM_END) {
            outcome.ended = true;
            break;
        }
        if (outcome.bytes.size() >= kOutputCap) {
            outcome.capped = true;
            outcome.bytes.resize(kOutputCap);
            break;
        }
        // An error, or a stream that wants more input than there is: it did not end well.
        if (step.result != Z_OK || (step.consumed == 0 && step.produced == 0)) {
            break;
        }
    }
    if (const auto* zlib = dynamic_cast<CZlibInflater*>(&inflater); zlib && zlib->LastMessage()) {
        outcome.message = zlib->LastMessage();
    }
    inflater.Release();
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const size_t inChunk = (data[0] & 0x0F) == 0 ? size : (data[0] & 0x0F) * 7;
    const size_t outChunk = (data[0] >> 4) == 0 ? 65536 : (data[0] >> 4) * 13;
    ++data;
    --size;
    CZlibInflater zlib;
    CIsalInflater isal;
    const Outcome a = Run(zlib, data, size, inChunk, outChunk);
    const Outcome b = Run(isal, data, size, inChunk, outChunk);
    const bool zlibGood = a.ended || a.capped;
    const bool isalGood = b.ended || b.capped;
    if (zlibGood && isalGood && (a.ended != b.ended || a.bytes != b.bytes)) {
        std::abort();  // both read it, differently
    }
    if (zlibGood && !isalGood) {
        std::abort();  // ISA-L refuses what zlib reads: archives that work today would fail
    }
    if (!zlibGood && isalGood && !RefusedCodeSet(a.message)) {
        std::abort();
    }
    return 0;
}
