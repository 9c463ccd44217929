#include "CArchiveCommands.h"

#include "ArchiveEntryInfo.h"
#include "CArchiveReader.h"
#include "CException.h"
#include "CTerminalPrompts.h"

void CArchiveCommands::WriteFields(std::FILE* out, std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& field : fields) {
        if (&field != fields.begin()) {
            line += '\t';
        }
        line += field;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
}

std::string CArchiveCommands::Printable(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    return out;
}

int CArchiveCommands::List(const std::string& archivePath, std::FILE* out) {
    CTerminalPrompts prompts;
    CArchiveReader reader(archivePath, prompts);
    if (!reader.isOpen) {
        return exitNotOpened;
    }
    ArchiveEntryInfo info;
    for (int i = 0; i < reader.entryCount; ++i) {
        if (!reader.GetEntryInfo(info, i, false)) {
            continue;
        }
        WriteFields(out, {std::to_string(i), Printable(info.folder), Printable(info.name),
                          info.sizeText, info.compressedText, info.ratioText, info.dateText,
                          info.attributes, info.isDirectory ? "D" : "F"});
    }
    return exitOk;
}

int CArchiveCommands::Test(const std::string& archivePath, std::FILE* out) {
    CTerminalPrompts prompts;
    CArchiveReader reader(archivePath, prompts);
    if (!reader.isOpen) {
        return exitNotOpened;
    }
    int status = exitOk;
    ArchiveEntryInfo info;
    for (int i = 0; i < reader.entryCount; ++i) {
        if (!reader.GetEntryInfo(info, i, true) || info.isDirectory) {
            continue;
        }
        std::string verdict = "OK";
        try {
            reader.TestEntry(i);
        } catch (const CException& e) {
            verdict = e.ErrorMessage();
            reader.CloseEntry({}, true);
            status = exitEntryFailed;
        }
        WriteFields(out, {Printable(info.folder + info.name), Printable(verdict)});
    }
    return status;
}
