// Under strace: whatever spelling an entry uses to climb out of the target, zanvo-cli opens, looks
// up and creates nothing outside it (beyond the archive, the settings file, the folders above
// the target, and the system's own files).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "CliRun.h"
#include "TestFolder.h"
#include "ZipWriter.h"

namespace {

bool Under(const std::string& path, const std::string& folder) {
    return path == folder || path.rfind(folder + "/", 0) == 0;
}

// The paths of the file system calls of a trace that lie outside what the program may use.
std::string StrayPaths(const std::string& trace, const std::string& root,
                       const std::vector<std::string>& allowed) {
    // The loader's and the C library's own files; of /etc only those, so that a climb to
    // /etc/passwd shows.
    static const std::vector<std::string> system = {
        "/usr",          "/lib", "/lib64",           "/proc",
        "/sys",          "/dev", "/etc/ld.so.cache", "/etc/ld.so.preload",
        "/etc/localtime"};
    std::istringstream lines(trace);
    std::string stray;
    const std::regex quoted("\"((?:[^\"\\\\]|\\\\.)*)\"");
    for (std::string line; std::getline(lines, line);) {
        if (line.find("execve(") != std::string::npos) {
            continue;  // the command line itself, not a path looked at
        }
        for (auto it = std::sregex_iterator(line.begin(), line.end(), quoted);
             it != std::sregex_iterator(); ++it) {
            std::string path = (*it)[1];
            if (path.empty()) {
                continue;
            }
            if (path[0] != '/') {
                path = root + "/cwd/" + path;  // the program runs in an empty folder of its own
            }
            path = std::filesystem::path(path).lexically_normal().string();
            while (path.size() > 1 && path.back() == '/') {
                path.pop_back();
            }
            // ThreadSanitizer's runtime keeps a file of its own in /tmp.
            bool ok = path.rfind("/tmp/tsan.", 0) == 0;
            for (const std::string& folder : system) {
                ok = ok || (Under(path, folder) && !Under(root, folder));
            }
            for (const std::string& folder : allowed) {
                ok = ok || Under(path, folder);
            }
            // The folders above the target are looked at to find it whatever its case.
            ok = ok || (Under(root + "/a/b/game", path) && !path.empty());
            if (!ok) {
                stray += line + "\n";
                break;
            }
        }
    }
    return stray;
}

}  // namespace

TEST(Sandbox, nothingOutsideTargetIsTouched) {
    if (std::system("strace -qq -o /dev/null true 2>/dev/null") != 0) {
        GTEST_SKIP() << "strace cannot trace here (not installed, or tracing is not allowed)";
    }
    TestFolder folder;
    const std::string root = folder.Path().substr(0, folder.Path().size() - 1);
    // Each would land in root/a/b or above, were it followed.
    // clang-format off
    ZipWriter writer(ZipWriter::Numbered({
        "../evil.cfg", "../../evil.cfg", "a/../../evil.txt", "..\\evil.wad", "maps/../../e.bsp",
        " ../blank.wad", "\"../quoted.wad\"", "./../dot.wad", "x/./../../dots.mdl",
        "models/../../../m.mdl", "sound\\..\\..\\s.wav", "/abs/evil.wad", "//srv/share/u.wad",
        "\\\\?\\c:\\long.wad", "c:drive.wad", "c:/drive2.wad", "../../../../../../etc/passwd",
        "maps/de_x.bsp", "models/ok.mdl", "readme.txt"}));
    // clang-format on
    std::filesystem::create_directories(root + "/src");
    std::filesystem::create_directories(root + "/cwd");
    std::filesystem::create_directories(root + "/a/b/game/maps");
    writer.Save(root + "/src/pack.zip");
    folder.WriteFile("a/b/game/maps/de_x.bsp", "old");
    const std::vector<std::string> allowed = {root + "/a/b/game", root + "/src",
                                              root + "/home/config/Orbelle/Zanvo.conf",
                                              root + "/home/config/Orbelle", ZANVO_CLI};
    for (const std::string command :
         {"install --yes-all", "install --no-sort --yes-all", "plan", "plan --no-sort"}) {
        SCOPED_TRACE(command);
        const std::string trace = root + "/trace.txt";
        const std::string line = "cd '" + root +
                                 "/cwd' && TZ=UTC ASAN_OPTIONS=detect_leaks=0 XDG_CONFIG_HOME='" +
                                 root + "/home/config' strace -f -qq -s 4096 -e trace=%file -o '" +
                                 trace + "' " + ZANVO_CLI " --language english " + command + " '" +
                                 root + "/src/' '" + root + "/a/b/game' >/dev/null 2>&1 </dev/null";
        const int status = std::system(line.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << status;
        const std::string traced = TestFolder::ReadFile(trace);
        EXPECT_NE(traced.find(root + "/a/b/game/models"), std::string::npos);  // it did work
        EXPECT_EQ(StrayPaths(traced, root, allowed), "");
        std::filesystem::remove(trace);
    }
    EXPECT_EQ(folder.Listing().find("evil"), std::string::npos);
}
