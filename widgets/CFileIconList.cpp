#include "CFileIconList.h"

#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QMimeType>

CFileIconList& CFileIconList::Shared() {
    static CFileIconList list;
    return list;
}

int CFileIconList::Add(const QString& key, const QIcon& icon) {
    const auto found = byKey.find(key);
    if (found != byKey.end()) {
        return found->second;
    }
    icons.push_back(icon);
    const int index = static_cast<int>(icons.size()) - 1;
    byKey.emplace(key, index);
    return index;
}

int CFileIconList::IndexOf(const std::string& name, bool asFolder) {
    static const QFileIconProvider provider;
    if (asFolder) {
        const QString key = QStringLiteral("folder:");
        const auto found = byKey.find(key);
        return found != byKey.end() ? found->second
                                    : Add(key, provider.icon(QAbstractFileIconProvider::Folder));
    }
    // The same few types come back for every file of a large archive: a name is known by its
    // extension (the whole name when it has none), the only part the lookup reads.
    const size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? name : name.substr(dot);
    const auto known = byName.find(extension);
    if (known != byName.end()) {
        return known->second;
    }
    // By the name's extension only: the file need not exist, and must not be opened.
    static const QMimeDatabase mimeTypes;
    const QMimeType type = mimeTypes.mimeTypeForFile(
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
        QMimeDatabase::MatchExtension);
    const QString key = QStringLiteral("mime:") + type.name();
    const auto found = byKey.find(key);
    if (found != byKey.end()) {
        return byName.emplace(extension, found->second).first->second;
    }
    const QIcon fallback = provider.icon(QAbstractFileIconProvider::File);
    return byName[extension] =
               Add(key, QIcon::fromTheme(type.iconName(),
                                         QIcon::fromTheme(type.genericIconName(), fallback)));
}

int CFileIconList::ProgramIcon(int iconId) {
    const QString path = QStringLiteral(":/icons/%1.svg").arg(iconId);
    const auto found = byKey.find(path);
    return found != byKey.end() ? found->second : Add(path, QIcon(path));
}

QIcon CFileIconList::Icon(int index) const {
    return index >= 0 && static_cast<size_t>(index) < icons.size()
               ? icons[static_cast<size_t>(index)]
               : QIcon();
}
