#include "CIsalInflater.h"

#include <isa-l/igzip_lib.h>
#include <zlib.h>

#include <algorithm>
#include <limits>

CIsalInflater::CIsalInflater() : state(std::make_unique<inflate_state>()) {}

CIsalInflater::~CIsalInflater() = default;

int CIsalInflater::Start() {
    isal_inflate_init(state.get());
    state->crc_flag = ISAL_DEFLATE;
    finished = false;
    return Z_OK;
}

IInflater::Step CIsalInflater::Inflate(const uint8_t* input, size_t inputSize, uint8_t* output,
                                       size_t outputSize) {
    if (finished) {
        return Step{0, 0, Z_STREAM_END};
    }
    // With no room for output, a scratch area shows whether the stream still holds data (more
    // than the entry states: zlib's buffer error) or only its end.
    uint8_t scratch[64];
    const bool probing = outputSize == 0;
    constexpr size_t kMax = std::numeric_limits<uint32_t>::max();
    state->next_in = const_cast<uint8_t*>(input);
    state->avail_in = static_cast<uint32_t>(std::min(inputSize, kMax));
    state->next_out = probing ? scratch : output;
    state->avail_out = static_cast<uint32_t>(probing ? sizeof scratch : std::min(outputSize, kMax));
    const uint32_t inBefore = state->avail_in;
    const uint32_t outBefore = state->avail_out;
    const int result = isal_inflate(state.get());
    const size_t consumed = inBefore - state->avail_in;
    const size_t produced = outBefore - state->avail_out;
    if (result < 0) {
        return Step{consumed, probing ? 0 : produced, Z_DATA_ERROR};
    }
    if (probing && produced > 0) {
        return Step{consumed, 0, Z_BUF_ERROR};
    }
    if (state->block_state == ISAL_BLOCK_FINISH) {
        finished = true;
        return Step{consumed, produced, Z_STREAM_END};
    }
    if (consumed == 0 && produced == 0) {
        return Step{0, 0, Z_BUF_ERROR};
    }
    return Step{consumed, produced, Z_OK};
}

void CIsalInflater::Finish() {
    finished = false;
}

void CIsalInflater::Release() noexcept {
    finished = false;
}
