#pragma once

// One text of a language table.
struct StringEntry {
    int id;
    const char* text;
};
