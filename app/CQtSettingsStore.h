#pragma once

#include "ISettingsStore.h"

// The settings store of the windows, through QSettings (organisation "Orbelle", application
// "Zanvo", the platform's native format).
class CQtSettingsStore : public ISettingsStore {
public:
    std::optional<std::string> Read(const std::string& key) const override;
    void WriteText(const std::string& key, const std::string& value) override;
    void WriteInt(const std::string& key, int value) override;
    void Remove(const std::string& key) override;
};
