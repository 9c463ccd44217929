#include "UserRegistry.h"

#include "CIniSettingsReader.h"
#include "ISettingsStore.h"

namespace {

std::unique_ptr<ISettingsStore>& Installed() {
    static std::unique_ptr<ISettingsStore> store;
    return store;
}

}  // namespace

void UserRegistry::SetStore(std::unique_ptr<ISettingsStore> store) {
    Installed() = std::move(store);
}

ISettingsStore& UserRegistry::Store() {
    if (!Installed()) {
        Installed() = std::make_unique<CIniSettingsReader>();
    }
    return *Installed();
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
    return Store().Read(KeyOf(subKey, valueName)).value_or(std::string());
}

void UserRegistry::WriteUserValue(const std::string& subKey, const std::string& valueName,
                                  const std::string& value) {
    if (!value.empty()) {
        Store().WriteText(KeyOf(subKey, valueName), value);
    }
}

void UserRegistry::RemoveUserValue(const std::string& subKey, const std::string& valueName) {
    Store().Remove(KeyOf(subKey, valueName));
}

std::string UserRegistry::ReadLanguageSetting() {
    const std::string language = ReadUserValue("Settings", "Language");
    return language.empty() ? "french" : language;
}
