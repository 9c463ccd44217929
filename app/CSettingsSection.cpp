#include "CSettingsSection.h"

#include <QSettings>
#include <utility>

#include "UserRegistry.h"

CSettingsSection::CSettingsSection(std::string name, bool readOnly_)
    : sectionName(std::move(name)), readOnly(readOnly_) {}

CSettingsSection::~CSettingsSection() {
    if (readOnly || bindings.empty()) {
        return;
    }
    const auto settings = UserRegistry::Open();
    for (const Binding& binding : bindings) {
        const QString key =
            QString::fromStdString(UserRegistry::KeyOf(sectionName, binding.valueName));
        if (binding.integer != nullptr) {
            settings->setValue(key, *binding.integer);
        } else {
            settings->setValue(key, QString::fromStdString(*binding.text));
        }
    }
}

void CSettingsSection::BindInt(const std::string& valueName, int& variable, int defaultValue) {
    const QVariant value = UserRegistry::Open()->value(
        QString::fromStdString(UserRegistry::KeyOf(sectionName, valueName)));
    bool ok = false;
    const int number = value.isValid() ? value.toInt(&ok) : 0;
    variable = ok ? number : defaultValue;
    bindings.push_back({valueName, &variable, nullptr});
}

void CSettingsSection::BindString(const std::string& valueName, std::string& variable,
                                  const std::string& defaultValue) {
    const QVariant value = UserRegistry::Open()->value(
        QString::fromStdString(UserRegistry::KeyOf(sectionName, valueName)));
    variable = value.isValid() ? value.toString().toStdString() : defaultValue;
    bindings.push_back({valueName, nullptr, &variable});
}
