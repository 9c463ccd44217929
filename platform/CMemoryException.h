#pragma once

#include "CException.h"

// Raised where an allocation failed (std::bad_alloc is turned into this at the layer's edge).
class CMemoryException : public CException {
public:
    bool GetErrorMessage(char* buffer, unsigned maxChars,
                         unsigned* helpContext = nullptr) const override;
};
