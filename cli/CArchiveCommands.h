#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>

// The commands of zanvo-cli that read one archive. Each returns the process exit status.
class CArchiveCommands {
public:
    enum ExitStatus { exitOk = 0, exitEntryFailed = 1, exitNotOpened = 2 };

    // One line per entry index: the fields of its description, separated by tabs.
    static int List(const std::string& archivePath, std::FILE* out);
    // One line per file entry: its inner path, a tab, and "OK" or the error text.
    static int Test(const std::string& archivePath, std::FILE* out);

    // Control characters of names taken from an archive would break the one-line-per-entry
    // output, or play tricks on a terminal; they are shown as '?'.
    static std::string Printable(const std::string& text);
    // One output line: the fields separated by tabs.
    static void WriteFields(std::FILE* out, std::initializer_list<std::string> fields);
    // Write text, or send on what is buffered; the first failure's error number is kept for
    // WriteError.
    static void Write(std::FILE* out, const std::string& text);
    static void Flush(std::FILE* out);
    // After flushing out: 0 when all the output reached its file, else why it did not.
    static int WriteError(std::FILE* out);

private:
    static int firstWriteError;
};
