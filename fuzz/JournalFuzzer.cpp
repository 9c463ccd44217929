// The journal fuzz target: reads the bytes as an install journal, as uninstall and verify do,
// and checks that whatever is accepted is safe to act on and writes back to itself.
// libFuzzer drives it in the fuzz build, ReplayMain.cpp in every build.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "JournalRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    JournalRecord::Fault fault;
    std::string detail;
    const std::optional<JournalRecord> record =
        JournalRecord::Parse(std::string(reinterpret_cast<const char*>(data), size), fault, detail);
    if (!record) {
        if (fault == JournalRecord::Fault::none) {
            std::abort();  // a refusal always says why
        }
        return 0;
    }
    // Nothing accepted may lead out of the target or into the journals' own folder.
    for (const auto& file : record->files) {
        if (!JournalRecord::IsSafePath(file.path) || file.sha256.size() != 64) {
            std::abort();
        }
    }
    for (const auto& backup : record->replaced) {
        if (!JournalRecord::IsSafePath(backup.path)) {
            std::abort();
        }
    }
    for (const std::string& folder : record->folders) {
        if (!JournalRecord::IsSafePath(folder)) {
            std::abort();
        }
    }
    // What is accepted is written back the same.
    const std::string text = record->ToJson();
    const std::optional<JournalRecord> again = JournalRecord::Parse(text, fault, detail);
    if (!again || again->ToJson() != text) {
        std::abort();
    }
    return 0;
}
