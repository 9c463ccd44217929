#include "CQtSettingsStore.h"

#include <QSettings>

namespace {

QSettings Open() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Orbelle", "Zanvo");
}

}  // namespace

std::optional<std::string> CQtSettingsStore::Read(const std::string& key) const {
    const QVariant value = Open().value(QString::fromStdString(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

void CQtSettingsStore::WriteText(const std::string& key, const std::string& value) {
    Open().setValue(QString::fromStdString(key), QString::fromStdString(value));
}

void CQtSettingsStore::Remove(const std::string& key) {
    Open().remove(QString::fromStdString(key));
}

void CQtSettingsStore::WriteInt(const std::string& key, int value) {
    Open().setValue(QString::fromStdString(key), value);
}
