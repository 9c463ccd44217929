#include "ExtractReport.h"

#include <vector>

#include "CStringTable.h"
#include "StringIds.h"
#include "TextFormat.h"
#include "Utf8.h"

// The three line formats of our own are the same in every language; the not-replaced line and
// the cancel notice come from the string table.

void ExtractReport::Add(const std::string& pattern, std::initializer_list<std::string> fields) {
    text += TextFormat::Format(pattern, fields);
    std::vector<std::string> printable;
    for (const std::string& field : fields) {
        printable.push_back(Utf8::WithoutControls(field));
    }
    shown += TextFormat::Format(pattern, printable);
}

void ExtractReport::AddArchiveError(const std::string& archive, const std::string& message) {
    Add("%s : %s\r\n", {archive, message});
}

void ExtractReport::AddRiskySkipped(const std::string& archive, const std::string& file,
                                    const std::string& reason) {
    Add(CStringTable::Load(IDS_RISKY_SKIPPED_LINE), {archive, file, reason});
}

void ExtractReport::AddNotReplaced(const std::string& archive, const std::string& file) {
    Add(CStringTable::Load(IDS_NOT_REPLACED_LINE), {archive, file});
}

void ExtractReport::AddEntryError(const std::string& archive, const std::string& file,
                                  const std::string& message) {
    Add("%s : %s -> %s\r\n", {archive, file, message});
}

void ExtractReport::AddOk(const std::string& archive) {
    Add("%s : Ok\r\n", {archive});
}

void ExtractReport::AddCancelNotice() {
    Add(CStringTable::Load(IDS_CANCELED), {});
}
