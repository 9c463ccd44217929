// The archive fuzz target: opens the bytes as an archive, lists every entry, tests and extracts
// every file entry. libFuzzer drives it in the fuzz build, ReplayMain.cpp in every build.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "ArchiveEntryInfo.h"
#include "CArchiveReader.h"
#include "CException.h"
#include "FileSystem.h"
#include "IReaderPrompts.h"

namespace {

// Says No to the retry question, so that a file without an end record does not loop.
class SilentPrompts : public IReaderPrompts {
public:
    bool AskRetry(const std::string&) override { return false; }
    void ShowOpenError(const std::string&, const std::string&, const CException&) override {}
    int IconIndex(const std::string&, bool isDirectory) override { return isDirectory ? 1 : 0; }
};

// One private folder per process, removed at exit: the input file and an output folder that is
// emptied before every run, so that no run sees what an earlier one wrote.
struct Scratch {
    Scratch() : folder(FileSystem::MakeTempFolder("zanvo-fuzz-") + "/") {}
    ~Scratch() { FileSystem::RemoveTree(folder); }
    std::string folder;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Scratch scratch;
    const std::string archive = scratch.folder + "input.zip";
    const std::string target = scratch.folder + "out/";
    FileSystem::RemoveTree(target);
    std::ofstream(archive, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    SilentPrompts prompts;
    CArchiveReader reader(archive, prompts);
    for (int i = 0; i < reader.entryCount; ++i) {
        ArchiveEntryInfo info;
        if (!reader.GetEntryInfo(info, i, false) || info.isDirectory) {
            continue;
        }
        try {
            reader.TestEntry(i);
        } catch (const CException&) {
            reader.CloseEntry({}, true);
        }
        try {
            reader.ExtractEntry(i, target, info.folder, info.folder);
        } catch (const CException&) {
            reader.CloseEntry({}, true);
        }
    }
    return 0;
}
