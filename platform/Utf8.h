#pragma once

#include <string>
#include <string_view>

// UTF-8 encoding of the code points the program builds names from (the Basic Multilingual
// Plane; larger values never come up in the code pages and case tables used here).
class Utf8 {
public:
    static void Append(std::string& out, char32_t codePoint);
    // The text with every control character shown as '?': C0 controls, DEL, and C1 controls,
    // whether written as UTF-8 (U+0080 to U+009F) or as single bytes 0x80 to 0x9F outside a
    // UTF-8 sequence, which a terminal may take as the start of an escape sequence. Everything
    // else is kept byte for byte.
    static std::string WithoutControls(std::string_view text);
};
