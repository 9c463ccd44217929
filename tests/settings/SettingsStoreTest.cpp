// The settings store, pointed at a temporary folder: the real home folder is never touched.
#include <gtest/gtest.h>

#include <QSettings>
#include <fstream>
#include <tuple>

#include "AppSettings.h"
#include "CIniSettingsReader.h"
#include "CQtSettingsStore.h"
#include "CRecentList.h"
#include "CSettingsSection.h"
#include "TestFolder.h"
#include "UserRegistry.h"

namespace {

using Fields =
    std::tuple<int, std::string, std::string, std::string, std::string, int, int, int, int>;

// One program run: the record as loaded, in binding order; `next` is what it holds at the end.
Fields Session(bool readOnly, const AppSettings& next) {
    AppSettings s;
    CSettingsSection section("Settings", readOnly);
    s.Bind(section);
    const Fields loaded{s.job.Type,         s.job.TargetDir,    s.job.SourceDir,
                        s.options.MiscPath, s.options.Language, s.options.Replace,
                        s.options.Newer,    s.options.Analyse,  s.options.WebUpdate};
    s = next;
    return loaded;
}

// Every value differs from its default, so one that falls back to it shows; MiscPath is empty.
const AppSettings kStored{{"/srv/cs/", "C:\\Maps, old\\pack.ZIP", sourceFile},
                          {"", "english", 0, 1, 1, 1}};
const Fields kStoredFields{0, "/srv/cs/", "C:\\Maps, old\\pack.ZIP", "", "english", 1, 1, 0, 1};

class SettingsStore : public testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(home.Path()));
        UserRegistry::SetStore(std::make_unique<CQtSettingsStore>());
    }
    void TearDown() override { UserRegistry::SetStore(nullptr); }
    static QSettings Qt() {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Orbelle", "Zanvo");
    }
    TestFolder home;
};

}  // namespace

TEST_F(SettingsStore, defaultsFirstThenStoredValuesAndReadOnlySectionWritesNothing) {
    const Fields defaults{1, "", "", "divers\\", "french", 0, 0, 1, 0};
    EXPECT_EQ(Session(true, kStored), defaults);
    EXPECT_TRUE(Qt().allKeys().isEmpty());
    EXPECT_EQ(UserRegistry::ReadLanguageSetting(), "french");

    EXPECT_EQ(Session(false, kStored), defaults);
    EXPECT_EQ(UserRegistry::ReadLanguageSetting(), "english");
    EXPECT_EQ(Session(true, AppSettings()), kStoredFields);
    EXPECT_EQ(Session(false, kStored), kStoredFields);
}

TEST_F(SettingsStore, recentListKeepsOrderWithoutDuplicates) {
    std::vector<std::string> full, shifted{"/new/"};
    for (int i = 1; i <= CRecentList::kMaxPaths; ++i) {
        full.push_back("/m/" + std::to_string(i) + "/");
    }
    shifted.insert(shifted.end(), full.begin(), full.end() - 1);
    const std::vector<std::string> atThree{"/a/", "/b/", "c:\\maps\\"},
        gap{"/a/", "/b/", "", "", "C:\\Maps\\"};
    struct Row {
        std::vector<std::string> before, after, shown;  // from Path1; "" is a missing value
        std::string path;
    } rows[] = {{full, shifted, shifted, "/new/"},
                {atThree, atThree, atThree, "C:\\Maps\\"},
                {gap, gap, {"/a/", "/b/"}, "c:\\MAPS\\"},
                // A gap: the path behind it is neither copied down beside itself nor kept.
                {{"/a/", "", "/c/"}, {"/n/", "/a/"}, {"/n/", "/a/"}, "/n/"},
                {{"/a/"}, {"/a/"}, {"/a/"}, ""}};
    const std::string list = "Recents\\Target";
    const auto path = [](size_t i) { return "Path" + std::to_string(i); };
    for (Row& row : rows) {
        Qt().clear();
        for (size_t i = 0; i < row.before.size(); ++i) {
            UserRegistry::WriteUserValue(list, path(i + 1), row.before[i]);
        }
        EXPECT_EQ(CRecentList("Target").Add(row.path), row.after != row.before) << row.path;
        row.after.resize(CRecentList::kMaxPaths);
        for (size_t i = 0; i < row.after.size(); ++i) {
            EXPECT_EQ(UserRegistry::ReadUserValue(list, path(i + 1)), row.after[i]) << row.path;
        }
        EXPECT_EQ(CRecentList("Target").Load(), row.shown) << row.path;
    }
    // An empty value is never written: an entry cannot be cleared.
    UserRegistry::WriteUserValue(list, path(1), "");
    UserRegistry::WriteUserValue(list, path(2), "");
    EXPECT_EQ(UserRegistry::ReadUserValue(list, path(1)), "/a/");
    EXPECT_EQ(Qt().allKeys().size(), 1);
}

// The command-line tool reads, without Qt, the file the windows write through Qt: every value
// must come back as the windows would read it.
TEST_F(SettingsStore, fileReaderAgreesWithQt) {
    const std::vector<std::string> texts = {
        "divers\\",        "C:\\Maps\\", "/srv/a, b;c=d \"q\" é\t\n",
        "@start",          "@@x",        "",
        "  spaced  ",      "x#y",        "a=b",
        "[not a section]", "tab\tend",   "#first",
        "esc\x1b[0m",      "a\x01b\x7f", "\x02\x031"};
    CQtSettingsStore qt;
    for (size_t i = 0; i < texts.size(); ++i) {
        qt.WriteText("Recents/Source/Path" + std::to_string(i + 1), texts[i]);
    }
    qt.WriteInt("Settings/Type", -7);
    Qt().sync();
    const CIniSettingsReader file =
        CIniSettingsReader::FromText(TestFolder::ReadFile(home.Path() + "Orbelle/Zanvo.conf"));
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string key = "Recents/Source/Path" + std::to_string(i + 1);
        EXPECT_EQ(file.Read(key), qt.Read(key)) << texts[i];
        EXPECT_EQ(file.Read(key), texts[i]);
    }
    EXPECT_EQ(file.Read("Settings/Type"), "-7");
    EXPECT_EQ(file.Read("Settings/Missing"), std::nullopt);
    // Saved again by an editor that puts a byte order mark in front: Qt reads past it.
    const std::string path = home.Path() + "Orbelle/Zanvo.conf";
    const std::string marked = "\xEF\xBB\xBF" + TestFolder::ReadFile(path);
    std::ofstream(path, std::ios::binary) << marked;
    EXPECT_EQ(Qt().value("Settings/Type").toString().toStdString(), "-7");
    EXPECT_EQ(CIniSettingsReader::FromText(marked).Read("Settings/Type"), "-7");
    // A hand-written list reads as the empty text, as through Qt.
    EXPECT_EQ(
        CIniSettingsReader::FromText("[Settings]\nTargetDir=/a, /b\n").Read("Settings/TargetDir"),
        "");
}
