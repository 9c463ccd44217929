#pragma once

#include <string>
#include <string_view>

// Case-insensitive comparison of UTF-8 names, as the Windows file system compares them: letters
// of the Latin, Greek and Cyrillic alphabets match their other case; other bytes match exactly.
class CaseFold {
public:
    static std::string Fold(std::string_view text);
    // The text with every letter of those alphabets in its capital form: the order in which
    // Windows lists a folder is the byte order of these texts.
    static std::string Upper(std::string_view text);
    static bool Equal(std::string_view a, std::string_view b);
    // True when text begins with prefix under the same comparison.
    static bool StartsWith(std::string_view text, std::string_view prefix);
};
