#pragma once

#include <string>

// Base of every error the archive layer and the file services throw. Thrown by value and
// caught by reference; catchers ask for the text with GetErrorMessage.
class CException {
public:
    virtual ~CException() = default;

    // Copies at most maxChars - 1 bytes of the text followed by a zero byte. False when there
    // is no buffer, maxChars is 0 or the text is empty. helpContext is never touched.
    virtual bool GetErrorMessage(char* buffer, unsigned maxChars,
                                 unsigned* helpContext = nullptr) const = 0;

    // The text as catchers record it: at most maxChars - 1 bytes, never ending inside a
    // multi-byte character.
    std::string ErrorMessage(unsigned maxChars = 256) const;

protected:
    // Shared by the overrides: the buffer rules above applied to a ready text.
    static bool CopyMessage(const std::string& text, char* buffer, unsigned maxChars);
};
