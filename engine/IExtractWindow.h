#pragma once

#include <string>

#include "OverwriteChoice.h"

// What an installation run shows and asks while it works: the Extracting window implements it
// with its labels, bars, tree and message boxes, the command-line tool on the terminal, the
// tests from a script. Every call comes from the run's own thread.
class IExtractWindow {
public:
    using Node = void*;  // a tree node of the window's own; null where there is no tree

    virtual ~IExtractWindow() = default;

    // The File label: the archive being installed.
    virtual void ShowFileLabel(const std::string& text) = 0;
    virtual void SetTotalRange(int archiveCount) = 0;
    virtual void SetTotalPosition(int archivesDone) = 0;
    virtual void SetArchiveRange(int entryCount) = 0;
    virtual void SetArchivePosition(int entry) = 0;

    virtual Node InsertArchiveNode(const std::string& archiveName) = 0;
    // The folder nodes of subFolder ("maps\sub\") below the archive's node; the deepest one.
    virtual Node AddFolderNodes(Node archive, const std::string& subFolder) = 0;
    virtual void AddFileNode(Node folder, const std::string& fileName, bool errorMark) = 0;

    // An error box (caption "Error", warning icon, OK): the error-box text of the string table
    // with its subject (an archive's name, or an entry's path in its archive) and the message.
    virtual void ShowError(const std::string& subject, const std::string& message) = 0;
    // The replace question for an existing destination; each line is "size bytes date".
    virtual OverwriteChoice AskOverwrite(const std::string& destination,
                                         const std::string& existingLine,
                                         const std::string& entryLine) = 0;
    // The end of the run: the status for the File label, the errors or success look and sound.
    // After a cancel the window keeps its caption and tooltip and only takes the errors look.
    virtual void RunFinished(const std::string& status, bool withErrors, bool cancelled) = 0;
    // Before an archive is installed: it holds files that run code or change the game's
    // configuration (lines of "path: reason"). True to install them too; false leaves them out.
    virtual bool AskInstallRisky(const std::string& archiveName, const std::string& lines) = 0;
    // Lets the window handle what the user did meanwhile (a cancel among it).
    virtual void PumpMessages() = 0;
};
