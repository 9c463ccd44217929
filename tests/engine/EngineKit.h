#pragma once

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "CExtractionRun.h"
#include "CStringTable.h"
#include "ScriptedPrompts.h"
#include "StringIds.h"
#include "TestFolder.h"
#include "TextFormat.h"
#include "ZipWriter.h"

// Plays the Extracting window: records what the run shows, answers the replace question from
// a script (No once the script runs out, as when the dialog cannot be shown) and runs onPump
// where the real window would handle the user's clicks.
class ScriptedWindow : public IExtractWindow {
public:
    void ShowFileLabel(const std::string& text) override { labels += text + "|"; }
    void SetTotalRange(int count) override { total += "[" + std::to_string(count) + "]"; }
    void SetTotalPosition(int done) override { total += " " + std::to_string(done); }
    void SetArchiveRange(int count) override { archiveRange = count; }
    void SetArchivePosition(int entry) override { archivePosition = entry; }
    Node InsertArchiveNode(const std::string& name) override {
        tree += name + "\n";
        return &nodes.emplace_back(name + "/");
    }
    Node AddFolderNodes(Node archive, const std::string& subFolder) override {
        std::string path = *static_cast<std::string*>(archive) + subFolder;
        std::replace(path.begin(), path.end(), '\\', '/');
        return &nodes.emplace_back(path);
    }
    void AddFileNode(Node folder, const std::string& name, bool errorMark) override {
        tree += *static_cast<std::string*>(folder) + name + (errorMark ? "!" : "") + "\n";
    }
    void ShowError(const std::string& subject, const std::string& message) override {
        boxes += TextFormat::Format(CStringTable::Load(IDS_ERROR_BOX), {subject, message}) + "|";
    }
    OverwriteChoice AskOverwrite(const std::string& destination, const std::string& existingLine,
                                 const std::string& entryLine) override {
        questions += destination + "|" + existingLine + "|" + entryLine + "\n";
        const size_t asked = askedCount++;
        return asked < answers.size() ? answers[asked] : overwriteNo;
    }
    bool AskInstallRisky(const std::string& archive, const std::string& lines) override {
        riskyQuestions += archive + "|" + lines;
        return installRisky;
    }
    void RunFinished(const std::string& status, bool withErrors, bool cancelled) override {
        finishes += status + (withErrors ? " errors" : "") + (cancelled ? " cancelled" : "") + "\n";
    }
    void PumpMessages() override { onPump(); }

    std::string labels, total, tree, boxes, questions, finishes, riskyQuestions;
    bool installRisky = false;
    int archiveRange = -1, archivePosition = -1;
    std::vector<OverwriteChoice> answers;
    size_t askedCount = 0;
    std::function<void()> onPump = [] {};

private:
    std::deque<std::string> nodes;  // a node is the address of its path, "a.zip/maps/"
};

// A zip archive of the given entries, then of ZipWriter::FromWords's words.
inline std::string Pack(const std::string& words, std::vector<ZipEntry> entries = {}) {
    const std::vector<ZipEntry> more = ZipWriter::FromWords(words);
    entries.insert(entries.end(), more.begin(), more.end());
    return ZipWriter(std::move(entries)).Build();
}

// Archives in a source folder, installed into root/target/, so that the tests also see
// whatever would land beside the target.
struct EngineRun {
    EngineRun() {
        CStringTable::Select(CStringTable::Language::English);
        std::filesystem::create_directory(Target());
    }
    std::string Target() const { return root / "target/"; }
    int threads = 0;  // workers beside the run's thread; 0 runs it all on the run's thread
    // Counts the archives and installs them (the one archive named, else the folder's); the
    // report text.
    std::string Install(const std::string& archive = {}) {
        const InstallJob job{Target(), source.Path() + archive,
                             archive.empty() ? sourceFolder : sourceFile};
        run = std::make_unique<CExtractionRun>(job, options, window, prompts);
        run->SetWorkerThreads(threads);
        run->CountArchives();
        finishedUncancelled = run->RunExtraction();
        return run->Report().Text();
    }
    // Every file below root with its content, named from the target: "maps/a.bsp=data";
    // big files by their size, so that a failure stays readable.
    std::string Contents() const {
        std::istringstream names(root.Listing());
        std::string contents;
        for (std::string name; std::getline(names, name);) {
            const std::string data = TestFolder::ReadFile(root / name);
            const std::string shown =
                data.size() > 64 ? "<" + std::to_string(data.size()) + ">" : data;
            if (!name.ends_with('/')) {
                contents += (name.starts_with("target/") ? name.substr(7) : "../" + name) + "=" +
                            shown + " ";
            }
        }
        return contents;
    }

    TestFolder source, root;
    InstallOptions options;
    ScriptedWindow window;
    ScriptedPrompts prompts;
    std::unique_ptr<CExtractionRun> run;
    bool finishedUncancelled = false;
};
