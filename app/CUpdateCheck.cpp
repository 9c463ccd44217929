// PLACEHOLDER (scaffolding): replaced by the version check's implementation.
#include "CUpdateCheck.h"

bool CUpdateCheck::FetchVersionReply(std::string&, int, QString*) { return false; }
void CUpdateCheck::CheckForUpdate(QWidget*, const std::string&, bool) {}
QUrl CUpdateCheck::BaseUrl() { return {}; }
void CUpdateCheck::SetTimeoutMs(int) {}
void CUpdateCheck::SetPageOpener(PageOpener) {}
