#pragma once

#include <string>

// The environment's variables, and the expansion of %NAME% references as a person typing a path
// expects them to work.
class Environment {
public:
    // %NAME% of a defined variable becomes its value; other text, and references to undefined
    // variables, stay as written.
    static std::string Expand(const std::string& text);
    // A variable's value; empty when it is not set.
    static std::string Variable(const std::string& name);
};
