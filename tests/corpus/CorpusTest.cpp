// Runs the reader over other ZIP readers' test archives (read where they lie, never copied) and
// holds its verdict against theirs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>

#include "CArchiveReader.h"
#include "CZipException.h"
#include "ScriptedPrompts.h"
#include "TestFolder.h"

namespace {

namespace fs = std::filesystem;
const fs::path kCorpus = ZANVO_CORPUS_DIR;

// Archives on which our verdict (opens; every entry fine or refused by design) differs from the
// peers' (PeersAccept), with the reason. A row that stops differing fails, so the table stays true.
constexpr const char* kHidden = "refused for its method before its damage can show";
constexpr const char* kLocal = "local dates and name bytes are not compared, only name lengths";
constexpr const char* kExtra = "extra fields are skipped, never parsed";
const std::map<std::string, std::string> kDifferences = {
    {"cpython/derived/Bzip2BadCrcTests.zip_with_bad_crc.zip", kHidden},
    {"cpython/derived/LzmaBadCrcTests.zip_with_bad_crc.zip", kHidden},
    {"libzip/testbzip2broken.zip", kHidden},
    {"cpython/derived/OtherTests.test_unsupported_version.zip", "version needed is not checked"},
    {"go/derived/TestIssue11146.zip", "its empty name is refused before its torn descriptor"},
    {"libzip/incons-archive-comment-longer.zip", "the archive comment runs past the file's end"},
    {"libzip/incons-central-compsize-larger-toolarge.zip",
     "local sizes disagree with central ones"},
    {"yauzl/wrong-entry-sizes/wrong-entry-sizes.zip", "data is held to the wrong central sizes"},
    {"libzip/incons-central-file-comment-longer.zip", "entry comments not held to the directory"},
    {"libzip/incons-central-date.zip", kLocal},
    {"libzip/incons-local-filename.zip", kLocal},
    {"libzip/incons-ef-local-dupe-utf8name.zip", kExtra},
    {"libzip/incons-ef-local-utf8name-ascii.zip", kExtra},
    {"libzip/incons-ef-local-id-size.zip", kExtra},
    {"yauzl/failure/extra field length exceeds extra field buffer size.zip", kExtra},
    {"libzip/multidisk.zip", "says it is the last volume of a split archive; volume 0 is absent"},
    {"libzip/zip64-in-archive-comment.zip", "last end record (in the comment) closes a ZIP64 one"},
    {"yauzl/failure/Invalid comment length Expected 1 Found 0 Are there extra bytes at the end of "
     "the file Or is the end of central dir signature PK in the com.zip",
     "a byte after the end record is tolerated as trailing junk"},
};

struct Row {
    std::string path, kind, expectation, unzip;  // MANIFEST.tsv columns 1, 6, 8 and 9
    friend void PrintTo(const Row& row, std::ostream* out) { *out << row.path; }
};

std::vector<Row> ReadManifest() {
    std::ifstream in(kCorpus / "MANIFEST.tsv");
    std::vector<Row> rows;
    std::string line;
    for (std::getline(in, line); std::getline(in, line);) {
        std::vector<std::string> cells;
        std::istringstream split(line);
        for (std::string cell; std::getline(split, cell, '\t');) {
            cells.push_back(cell);
        }
        cells.resize(10);
        if (cells[5] != "expected-output") {
            rows.push_back({cells[0], cells[5], cells[7], cells[8]});
        }
    }
    return rows;
}

// Entries refused for encryption or method are refused by design on both sides. Where the peer's
// own test expects a damaged archive to fail (libzip's consistency test: where a local header or
// descriptor does not match), that outweighs unzip's leniency. Otherwise unzip decides: exit
// status 0 passed, 1 warned only, anything else refused.
bool PeersAccept(const Row& row) {
    static const std::regex expectsFailure(
        R"(^(open|entry|open/entry)( open| read)? fails|^opens; \S+ read fails)"
        R"(|^\[ZIP_CHECKCONS\].*match)");
    if (row.kind.starts_with("refuse:")) {
        return true;
    }
    if (row.kind == "adversarial" && std::regex_search(row.expectation, expectsFailure)) {
        return false;
    }
    const size_t at = row.unzip.find("rc=");
    const int rc = at == std::string::npos ? -1 : std::stoi(row.unzip.substr(at + 3));
    return rc == 0 || rc == 1;
}

// Refusals by design, judged from the header alone: ZIP64 sizes, encryption (110), another
// method (101), and names that are empty, rooted, on a drive, hold a zero byte or a ".." (117).
bool RefusedByDesign(const EntryHeader& header, int cause) {
    const std::string& name = header.name;
    const bool unsafe = name.empty() || name[0] == '\\' || (name.size() > 1 && name[1] == ':') ||
                        name.find('\0') != std::string::npos ||
                        ("\\" + name + "\\").find("\\..\\") != std::string::npos;
    const bool zip64 = header.compressedSize == 0xFFFFFFFF ||
                       header.uncompressedSize == 0xFFFFFFFF ||
                       header.localHeaderOffset == 0xFFFFFFFF;
    return cause != 0 &&
           (zip64 || ((header.flags & 1) && cause == CZipException::badPassword) ||
            (header.method != 0 && header.method != 8 && cause == CZipException::badZipFile) ||
            (unsafe && cause == CZipException::unsafeName));
}

// 0 for success, the cause of a ZIP error, -1 for any other failure.
template <typename Action>
int Outcome(CArchiveReader& reader, Action action) {
    try {
        action();
        return 0;
    } catch (const CException& e) {
        reader.CloseEntry({}, true);
        const auto* zip = dynamic_cast<const CZipException*>(&e);
        return zip != nullptr ? zip->cause : -1;
    }
}

// Where a reader trusting the name would write it, when that is outside folder.
std::optional<fs::path> NaiveOutside(const fs::path& folder, std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    const fs::path naive = (folder / name).lexically_normal();
    const std::string relative = naive.lexically_relative(folder).generic_string();
    if (name.empty() || (!relative.empty() && !relative.starts_with(".."))) {
        return std::nullopt;
    }
    return naive;
}

class CorpusArchive : public testing::TestWithParam<Row> {};

TEST_P(CorpusArchive, MatchesThePeers) {
    const Row& row = GetParam();
    const TestFolder root;
    const fs::path target = fs::path(root.Path()) / "target";
    ScriptedPrompts prompts;  // answers No to the retry question
    CArchiveReader reader((kCorpus / row.path).string(), prompts);
    EXPECT_EQ(prompts.errors.empty(), reader.isOpen);
    EXPECT_TRUE(reader.isOpen || row.kind != "valid") << "a valid archive did not open";
    bool allFine = reader.isOpen;
    int refusedByDesign = 0;
    for (int i = 0; i < reader.entryCount; ++i) {
        ArchiveEntryInfo info;
        ASSERT_TRUE(reader.GetEntryInfo(info, i, false));
        const EntryHeader& header = *reader.archive.FindHeader(i);
        SCOPED_TRACE("entry " + std::to_string(i) + " '" + header.name + "'");
        // Each entry gets a folder of its own, so that what it wrote can be told apart.
        const fs::path folder = target / std::to_string(i);
        fs::create_directories(folder);
        const auto outside = NaiveOutside(folder, header.name);
        const bool existedOutside = outside && fs::exists(*outside);

        const int tested = Outcome(reader, [&] { reader.TestEntry(i); });
        const int extracted = Outcome(reader, [&] {
            reader.ExtractEntry(i, folder.string() + "/", info.folder, info.folder);
        });
        EXPECT_EQ(tested, extracted) << "testing and extracting disagree";
        EXPECT_EQ(reader.archive.DecompressorBlockCount(), 0u);
        if (outside) {
            EXPECT_EQ(extracted, CZipException::unsafeName) << "the name climbs out";
            EXPECT_TRUE(existedOutside || !fs::exists(*outside)) << "wrote " << *outside;
        }
        std::vector<fs::path> files;
        for (const auto& item : fs::recursive_directory_iterator(folder)) {
            if (!item.is_directory()) {
                files.push_back(item.path());
            }
        }
        if (extracted != 0 || info.isDirectory) {
            EXPECT_TRUE(files.empty()) << "a failed entry or a folder left a file";
            EXPECT_TRUE(extracted != 0 || !fs::is_empty(folder)) << "a folder entry made nothing";
        } else if (files.size() != 1) {
            ADD_FAILURE() << "an extracted entry left " << files.size() << " files";
        } else {
            EXPECT_EQ(fs::file_size(files[0]), info.uncompressedSize);
            if (row.path.starts_with("go/test") && info.name.ends_with(".png")) {
                EXPECT_TRUE(TestFolder::ReadFile(files[0]) ==
                            TestFolder::ReadFile(kCorpus / "go/expected/gophercolor16x16.png"));
            }
        }
        const bool byDesign = RefusedByDesign(header, extracted);
        EXPECT_TRUE(extracted == 0 || byDesign || row.kind != "valid") << "failed: " << extracted;
        refusedByDesign += byDesign;
        allFine = allFine && (extracted == 0 || byDesign);
    }
    if (row.kind.find("refuse:") != std::string::npos && reader.isOpen) {
        EXPECT_GT(refusedByDesign, 0) << "nothing refused for its encryption or method";
    }
    // Only the target may appear in root, and only the entries' own folders in the target.
    for (auto it = fs::recursive_directory_iterator(root.Path()); it != decltype(it)(); ++it) {
        EXPECT_TRUE(it.depth() == 0 ? it->path() == target : it->is_directory()) << it->path();
        if (it.depth() == 1) {
            it.disable_recursion_pending();
        }
    }

    const auto listed = kDifferences.find(row.path);
    if (listed == kDifferences.end()) {
        EXPECT_EQ(allFine, PeersAccept(row))
            << "our verdict differs from the peers': " << row.unzip;
    } else {
        EXPECT_NE(allFine, PeersAccept(row)) << "listed (" << listed->second << ") but agrees";
    }
}

std::string TestName(const testing::TestParamInfo<Row>& info) {
    std::string name = info.param.path;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(c & 0xFF); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Peers, CorpusArchive,
                         testing::ValuesIn(fs::exists(kCorpus) ? ReadManifest()
                                                               : std::vector<Row>{}),
                         TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CorpusArchive);

TEST(Corpus, DifferencesNameArchivesOfTheManifest) {
    if (!fs::exists(kCorpus)) {
        GTEST_SKIP() << "no peer corpus at " << kCorpus;
    }
    const std::vector<Row> rows = ReadManifest();
    EXPECT_GT(rows.size(), 100u);
    for (const auto& listed : kDifferences) {
        const auto named = [&](const Row& r) { return r.path == listed.first; };
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), named)) << listed.first;
    }
}

}  // namespace
