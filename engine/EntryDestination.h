#pragma once

#include <string>

// Where one file entry of an archive goes, decided once per entry: the existing-file check, the
// write, the report line, the tree node and zanvo-cli plan all take this result, so that no two
// of them can disagree about which file is meant.
struct EntryDestination {
    enum Kind {
        install,  // written at path
        skip,     // left out by the sorting rules, and mentioned nowhere
        refused,  // never written: reason says why
    };

    Kind kind = install;
    std::string path;    // relative to the target, cleaned up once, '\' between names
    std::string reason;  // the message of a refused entry

    // The folders of path, each followed by '\'; empty at the top of the target.
    std::string Folder() const;
    // The last name of path.
    std::string FileName() const;
};
