#pragma once

#include <memory>
#include <string>

class ISettingsStore;

// The program's key in the user's settings store. Sub-keys are written with '\' as on Windows.
// The windows install a store of their own at start-up; without one, the settings file is read
// (and never written), which is all the command-line tool needs.
class UserRegistry {
public:
    static void SetStore(std::unique_ptr<ISettingsStore> store);
    static ISettingsStore& Store();

    // The text of a value below the key; empty when the key or the value is missing.
    static std::string ReadUserValue(const std::string& subKey, const std::string& valueName);
    // Writes a text value; an empty value is never written. Failures are silent.
    static void WriteUserValue(const std::string& subKey, const std::string& valueName,
                               const std::string& value);
    // Removes a value. Failures are silent.
    static void RemoveUserValue(const std::string& subKey, const std::string& valueName);
    // "Language" of the "Settings" section, or "french" when nothing can be read.
    static std::string ReadLanguageSetting();

    // The settings-store name of a value: sub-key groups joined with '/'.
    static std::string KeyOf(const std::string& subKey, const std::string& valueName);
};
