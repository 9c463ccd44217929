#include "IInflater.h"

#include "CZlibInflater.h"
#if ZANVO_WITH_ISAL
#include "CIsalInflater.h"
#endif

std::unique_ptr<IInflater> IInflater::Create() {
#if ZANVO_WITH_ISAL
    return std::make_unique<CIsalInflater>();
#else
    return std::make_unique<CZlibInflater>();
#endif
}

const char* IInflater::BackEndName() {
    return ZANVO_WITH_ISAL ? "isa-l" : "zlib";
}
