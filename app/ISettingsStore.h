#pragma once

#include <optional>
#include <string>

// Where the program's settings live: the registry on Windows, ~/.config/Orbelle/Zanvo.conf on
// Linux. Keys are "Settings/Language", "Recents/Source/Path1"...
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;

    // The text of a value, or nothing when it is missing.
    virtual std::optional<std::string> Read(const std::string& key) const = 0;
    // Failures are silent: settings that cannot be written are lost, nothing more.
    virtual void WriteText(const std::string& key, const std::string& value) = 0;
    virtual void WriteInt(const std::string& key, int value) = 0;
    // Removes a value; a missing one is no error.
    virtual void Remove(const std::string& key) = 0;
};
