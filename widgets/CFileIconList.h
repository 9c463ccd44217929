#pragma once

#include <QIcon>
#include <QString>
#include <map>
#include <string>
#include <vector>

// The small icons of file types, one list for the whole program: a stable index per type,
// chosen from the name alone without looking at the disk, plus the program's own icons.
// Windows borrow it; none owns it.
class CFileIconList {
public:
    static CFileIconList& Shared();

    // The index of the icon of a file named so ("*.bsp"), or of a folder.
    int IndexOf(const std::string& name, bool asFolder);
    // The index of one of the program's icons (":/icons/<id>.svg"), added on first use.
    int ProgramIcon(int iconId);
    QIcon Icon(int index) const;

private:
    int Add(const QString& key, const QIcon& icon);

    std::vector<QIcon> icons;
    std::map<QString, int> byKey;
    std::map<std::string, int> byName;  // extensions asked for already (".bsp")
};
