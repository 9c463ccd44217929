#pragma once

#include <string>
#include <string_view>

// Names written by MS-DOS tools are in the IBM PC code page; the program works in UTF-8.
class CodePage437 {
public:
    static std::string ToUtf8(std::string_view text);
};
