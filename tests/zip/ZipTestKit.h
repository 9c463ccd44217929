#pragma once

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "CArchiveReader.h"
#include "CFileException.h"
#include "CZipException.h"
#include "ScriptedPrompts.h"
#include "TestFolder.h"
#include "ZipWriter.h"

inline constexpr auto kAllWrite = std::filesystem::perms::owner_write |
                                  std::filesystem::perms::group_write |
                                  std::filesystem::perms::others_write;

// "ok", or what the call raised: "zip 101", "file 5", "other <text>".
template <class Call>
std::string Outcome(Call&& call) {
    try {
        call();
        return "ok";
    } catch (const CZipException& e) {
        return "zip " + std::to_string(e.cause);
    } catch (const CFileException& e) {
        return "file " + std::to_string(e.cause);
    } catch (const CException& e) {
        return "other " + e.ErrorMessage();
    }
}

// Bytes that deflate a little but not to nothing, and never hold a "PK" signature.
inline std::string Text(size_t size) {
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>('a' + (i * 7 + i / 13) % 26);
    }
    return text;
}

// Every folder ("maps/") and file with its content ("maps/a.txt=text") below folder, sorted.
inline std::string Tree(const TestFolder& folder) {
    std::istringstream names(folder.Listing());
    std::string tree;
    for (std::string name; std::getline(names, name);) {
        tree += name + (name.ends_with('/') ? "" : "=" + TestFolder::ReadFile(folder / name)) + " ";
    }
    return tree;
}

// An archive saved as pack.zip in a fresh folder and opened through the reader.
struct OpenedArchive {
    explicit OpenedArchive(ZipWriter writer) {
        writer.Save(folder / "pack.zip");
        reader = std::make_unique<CArchiveReader>(folder / "pack.zip", prompts);
    }
    // Extracts below target (default: out) with the entry's own folders (subFolder null), or
    // into subFolder; a failed entry is then abandoned, as the installation does.
    std::string Extract(int index, const char* subFolder = nullptr, std::string target = {}) {
        ArchiveEntryInfo info;
        reader->GetEntryInfo(info, index, true);
        const std::string outcome = Outcome([&] {
            reader->ExtractEntry(index, target.empty() ? out.Path() : target, info.folder,
                                 subFolder ? subFolder : info.folder);
        });
        if (outcome != "ok") {
            blocksAtFailure = reader->archive.DecompressorBlockCount();
            reader->CloseEntry({}, true);
        }
        return outcome;
    }

    TestFolder folder, out;
    ScriptedPrompts prompts;
    std::unique_ptr<CArchiveReader> reader;
    size_t blocksAtFailure = 0;
};
