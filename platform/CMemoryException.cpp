#include "CMemoryException.h"

#include "FrameworkTexts.h"

bool CMemoryException::GetErrorMessage(char* buffer, unsigned maxChars, unsigned*) const {
    return CopyMessage(FrameworkTexts::OutOfMemory(), buffer, maxChars);
}
