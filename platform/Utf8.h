#pragma once

#include <string>

// UTF-8 encoding of the code points the program builds names from (the Basic Multilingual
// Plane; larger values never come up in the code pages and case tables used here).
class Utf8 {
public:
    static void Append(std::string& out, char32_t codePoint);
};
