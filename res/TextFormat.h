#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// Fills the %s and %d of a text from the tables with ready-made strings, in order. Unlike
// printf it cannot be misled by a '%' in an argument, and a missing argument gives "".
class TextFormat {
public:
    static std::string Format(const std::string& pattern, std::initializer_list<std::string> args);
    static std::string Format(const std::string& pattern, const std::vector<std::string>& args);
};
