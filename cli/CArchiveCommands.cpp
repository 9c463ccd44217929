#include "CArchiveCommands.h"

#include <cerrno>
#include <deque>
#include <future>
#include <memory>

#include "ArchiveEntryInfo.h"
#include "CArchiveReader.h"
#include "CEntryWorkers.h"
#include "CException.h"
#include "CTerminalPrompts.h"
#include "Utf8.h"

void CArchiveCommands::WriteFields(std::FILE* out, std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& field : fields) {
        if (&field != fields.begin()) {
            line += '\t';
        }
        line += field;
    }
    line += '\n';
    Write(out, line);
}

int CArchiveCommands::firstWriteError = 0;

void CArchiveCommands::Write(std::FILE* out, const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size() && firstWriteError == 0) {
        firstWriteError = errno != 0 ? errno : EIO;
    }
}

void CArchiveCommands::Flush(std::FILE* out) {
    if (std::fflush(out) != 0 && firstWriteError == 0) {
        firstWriteError = errno != 0 ? errno : EIO;
    }
}

int CArchiveCommands::WriteError(std::FILE* out) {
    Flush(out);
    return firstWriteError != 0 ? firstWriteError : std::ferror(out) != 0 ? EIO : 0;
}

std::string CArchiveCommands::Printable(const std::string& text) {
    return Utf8::WithoutControls(text);
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
    // Entries are read on every core; their lines still come in entry order.
    std::unique_ptr<CEntryWorkers> workers;
    if (reader.archive.AllowsParallelReads()) {
        workers = std::make_unique<CEntryWorkers>(reader.archive, CEntryWorkers::DefaultThreads());
    }
    struct Pending {
        std::string path;
        std::future<CEntryWorkers::Outcome> outcome;
    };
    std::deque<Pending> pending;
    int status = exitOk;
    const auto show = [&](const std::string& path, const std::string* failure) {
        if (failure != nullptr) {
            status = exitEntryFailed;
        }
        WriteFields(out, {Printable(path), Printable(failure != nullptr ? *failure : "OK")});
    };
    const auto settle = [&](size_t keep) {
        while (pending.size() > keep) {
            const CEntryWorkers::Outcome outcome = pending.front().outcome.get();
            show(pending.front().path, outcome.failed ? &outcome.message : nullptr);
            pending.pop_front();
        }
    };
    ArchiveEntryInfo info;
    for (int i = 0; i < reader.entryCount; ++i) {
        if (!reader.GetEntryInfo(info, i, true) || info.isDirectory) {
            continue;
        }
        if (workers) {
            const CZipArchive& archive = reader.archive;
            pending.push_back(
                {info.folder + info.name, workers->Submit([&archive, i](CEntryReader& entryReader) {
                     archive.TestEntry(i, entryReader, 65536);
                     return 1;
                 })});
            settle(CEntryWorkers::kMaxWaiting);
            continue;
        }
        try {
            reader.TestEntry(i);
            show(info.folder + info.name, nullptr);
        } catch (const CException& e) {
            const std::string message = e.ErrorMessage();
            reader.CloseEntry({}, true);
            show(info.folder + info.name, &message);
        }
    }
    settle(0);
    return status;
}
