#include "UserRegistry.h"

#include <QSettings>

std::unique_ptr<QSettings> UserRegistry::Open() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Orbelle",
                                       "Zanvo");
}

std::string UserRegistry::KeyOf(const std::string& subKey, const std::string& valueName) {
    std::string key = subKey;
    for (char& c : key) {
        if (c == '\\') {
            c = '/';
        }
    }
    return key.empty() ? valueName : key + "/" + valueName;
}

std::string UserRegistry::ReadUserValue(const std::string& subKey, const std::string& valueName) {
    const QVariant value = Open()->value(QString::fromStdString(KeyOf(subKey, valueName)));
    return value.isValid() ? value.toString().toStdString() : std::string();
}

void UserRegistry::WriteUserValue(const std::string& subKey, const std::string& valueName,
                                  const std::string& value) {
    if (!value.empty()) {
        Open()->setValue(QString::fromStdString(KeyOf(subKey, valueName)),
                         QString::fromStdString(value));
    }
}

std::string UserRegistry::ReadLanguageSetting() {
    const std::string language = ReadUserValue("Settings", "Language");
    return language.empty() ? "french" : language;
}
