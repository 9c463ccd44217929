// The KeyValues fuzz target: reads the bytes as a Steam .vdf/.acf text, walks the tree as the
// game finder does, and stops on a tree deeper or larger than the reader's bounds allow.
// libFuzzer drives it in the fuzz build, ReplayMain.cpp in every build.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "CKeyValues.h"

namespace {

// The number of nodes below a section at depth (the text's top level is 0), checking on the way
// that no section lies deeper than the bound and that no string has children.
size_t Walk(const CKeyValues& section, int depth) {
    size_t count = 0;
    for (const CKeyValues& child : section.children) {
        if ((child.isSection && depth + 1 > CKeyValues::kMaxDepth) ||
            (!child.isSection && !child.children.empty())) {
            std::abort();
        }
        count += 1 + Walk(child, depth + 1);
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CKeyValues root =
        CKeyValues::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (Walk(root, 0) > CKeyValues::kMaxNodes) {
        std::abort();
    }
    for (const CKeyValues* libraries : root.FindAll("libraryfolders")) {
        for (const CKeyValues& library : libraries->children) {
            (void)library.Value("path");
        }
    }
    if (const CKeyValues* state = root.Find("AppState")) {
        (void)state->Value("installdir");
    }
    return 0;
}
