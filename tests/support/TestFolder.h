#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the test. Path() ends with '/'.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return path; }
    std::string operator/(const std::string& relative) const { return path + relative; }

    // Writes a file (creating its folders) and reads one back; empty when it does not exist.
    void WriteFile(const std::string& relative, const std::string& content) const;
    static std::string ReadFile(const std::string& path);
    // Every file and folder below the folder, relative, sorted, folders ending with '/'; the
    // .zanvo folders of install journals left out.
    std::string Listing() const;

private:
    std::string path;
};
