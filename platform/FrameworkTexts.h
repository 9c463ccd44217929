#pragma once

#include <string>

// The application framework's own message texts for file and memory errors. They are not part
// of the program's string tables: like the framework's resources they exist once, in French,
// and serve both user-interface languages.
class FrameworkTexts {
public:
    // The text of a CFileException cause, with the file name in place of its %1.
    static std::string FileError(int cause, const std::string& fileName);
    static const std::string& OutOfMemory();
};
