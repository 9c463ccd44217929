#pragma once

#include <map>

#include "ISettingsStore.h"

// Reads the settings file that the windows write through Qt (its INI format: [Section], keys
// below sub-groups joined with '\', values quoted and escaped as Qt writes them), without Qt,
// so that the command-line tool needs nothing of it. Writing is not its business: writes are
// ignored, as the command-line tool never writes settings.
class CIniSettingsReader : public ISettingsStore {
public:
    // The user's file: $XDG_CONFIG_HOME (else ~/.config) / Orbelle / Zanvo.conf.
    CIniSettingsReader();
    // The text of a file, for tests.
    static CIniSettingsReader FromText(const std::string& text);

    std::optional<std::string> Read(const std::string& key) const override;
    void WriteText(const std::string&, const std::string&) override {}
    void WriteInt(const std::string&, int) override {}

    static std::string DefaultPath();

private:
    struct Empty {};
    explicit CIniSettingsReader(Empty) {}
    void Parse(const std::string& text);

    std::map<std::string, std::string> values;
};
