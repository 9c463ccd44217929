#include "ExtractReport.h"

#include "CStringTable.h"
#include "StringIds.h"
#include "TextFormat.h"

// The three line formats of our own are the same in every language; the not-replaced line and
// the cancel notice come from the string table.

void ExtractReport::AddArchiveError(const std::string& archive, const std::string& message) {
    text += archive + " : " + message + "\r\n";
}

void ExtractReport::AddNotReplaced(const std::string& archive, const std::string& file) {
    text += TextFormat::Format(CStringTable::Load(IDS_NOT_REPLACED_LINE), {archive, file});
}

void ExtractReport::AddEntryError(const std::string& archive, const std::string& file,
                                  const std::string& message) {
    text += archive + " : " + file + " -> " + message + "\r\n";
}

void ExtractReport::AddOk(const std::string& archive) {
    text += archive + " : Ok\r\n";
}

void ExtractReport::AddCancelNotice() {
    text += CStringTable::Load(IDS_CANCELED);
}
