#include "CSettingsSection.h"

#include <charconv>
#include <utility>

#include "ISettingsStore.h"
#include "UserRegistry.h"

CSettingsSection::CSettingsSection(std::string name, bool readOnly_)
    : sectionName(std::move(name)), readOnly(readOnly_) {}

CSettingsSection::~CSettingsSection() {
    Write();
}

void CSettingsSection::Write() const {
    if (readOnly) {
        return;
    }
    ISettingsStore& store = UserRegistry::Store();
    for (const Binding& binding : bindings) {
        const std::string key = UserRegistry::KeyOf(sectionName, binding.valueName);
        if (binding.integer != nullptr) {
            store.WriteInt(key, *binding.integer);
        } else {
            store.WriteText(key, *binding.text);
        }
    }
}

void CSettingsSection::BindInt(const std::string& valueName, int& variable, int defaultValue) {
    const auto value = UserRegistry::Store().Read(UserRegistry::KeyOf(sectionName, valueName));
    // A value that is not a whole number reads as missing.
    int number = 0;
    const bool ok = value && !value->empty() &&
                    std::from_chars(value->data(), value->data() + value->size(), number).ptr ==
                        value->data() + value->size();
    variable = ok ? number : defaultValue;
    bindings.push_back({valueName, &variable, nullptr});
}

void CSettingsSection::BindString(const std::string& valueName, std::string& variable,
                                  const std::string& defaultValue) {
    const auto value = UserRegistry::Store().Read(UserRegistry::KeyOf(sectionName, valueName));
    variable = value.value_or(defaultValue);
    bindings.push_back({valueName, nullptr, &variable});
}
