#pragma once

#include <initializer_list>
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
    // A file left out because it runs code or changes the game's configuration.
    void AddRiskySkipped(const std::string& archive, const std::string& file,
                         const std::string& reason);
    void AddCancelNotice();

    const std::string& Text() const { return text; }
    // The same report with the control characters of its names and messages shown as '?', for a
    // terminal, where they could retitle or clear the screen; its line ends are kept.
    const std::string& TextWithoutControls() const { return shown; }

private:
    // Appends one line, made of a pattern and its fields, to both texts.
    void Add(const std::string& pattern, std::initializer_list<std::string> fields);

    std::string text;
    std::string shown;
};
