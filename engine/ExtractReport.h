#pragma once

#include <string>

// The plain-text report of one installation run, only ever appended to. Lines end with "\r\n",
// except the cancel notice, which has no line end.
class ExtractReport {
public:
    // Creating the archive's reader failed, or (sound behaviour) the archive did not open.
    void AddArchiveError(const std::string& archive, const std::string& message);
    void AddNotReplaced(const std::string& archive, const std::string& file);
    void AddEntryError(const std::string& archive, const std::string& file,
                       const std::string& message);
    void AddOk(const std::string& archive);
    void AddCancelNotice();

    const std::string& Text() const { return text; }

private:
    std::string text;
};
