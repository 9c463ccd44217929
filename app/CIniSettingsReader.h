#pragma once

#include <cstddef>
#include <map>

#include "ISettingsStore.h"

// Reads the settings file that the windows write through Qt (its INI format: [Section], keys
// below sub-groups joined with '\', values quoted and escaped as Qt writes them), without Qt,
// so that the command-line tool needs nothing of it. Writing is not its business: writes are
// ignored, as the command-line tool never writes settings.
class CIniSettingsReader : public ISettingsStore {
public:
    // Why the user's file was not read, its values then being the defaults.
    enum class Refusal {
        none,        // read, or absent (a first start)
        notAFile,    // a folder, a pipe, a device...: never read, it could block or never end
        tooLarge,    // more than kMaxFileSize bytes: no file of settings is that large
        unreadable,  // the system refused it; Error() tells why
    };
    static constexpr size_t kMaxFileSize = 1 << 20;

    // The user's file: $XDG_CONFIG_HOME (else ~/.config) / Orbelle / Zanvo.conf.
    CIniSettingsReader();
    // The text of a file, for tests.
    static CIniSettingsReader FromText(const std::string& text);

    std::optional<std::string> Read(const std::string& key) const override;
    void WriteText(const std::string&, const std::string&) override {}
    void WriteInt(const std::string&, int) override {}
    void Remove(const std::string&) override {}

    static std::string DefaultPath();
    Refusal Refused() const { return refusal; }
    int Error() const { return error; }

private:
    struct Empty {};
    explicit CIniSettingsReader(Empty) {}
    void Parse(const std::string& text);

    std::map<std::string, std::string> values;
    Refusal refusal = Refusal::none;
    int error = 0;
};
