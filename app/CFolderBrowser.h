#pragma once

#include <string>
#include <vector>

class QWidget;

// The folder picker: a directory dialog over owner that starts at path and, on OK, stores the
// chosen folder there (without a trailing separator). With the status line, a line under the
// view tells whether the current folder holds archives; the shortcuts join Qt's own in the side
// bar. It runs once, when constructed.
class CFolderBrowser {
public:
    // The object name of the status line, for tests and assistive tools.
    static constexpr const char* kStatusName = "folderStatus";

    CFolderBrowser(QWidget* owner, std::string& path, bool statusLine,
                   const std::vector<std::string>& shortcuts = {});
    // Whether the user chose a folder.
    bool Accepted() const { return accepted; }

    // Whether a folder holds a file matching *.zip, in any case.
    static bool HoldsArchives(const std::string& folder);

private:
    bool accepted = false;
};
