#pragma once

#include <array>
#include <cstdint>
#include <string>

// Reads the version block of a module: its fixed part, its first translation and its string
// values. The only module that has one is the running program, whose block is compiled in.
class CVersionInfo {
public:
    static constexpr uint32_t kSignature = 0xFEEF04BD;
    static constexpr uint16_t kDefaultCodePage = 1252;

    // The thirteen 32-bit fields of the fixed part, the signature first.
    struct FixedInfo {
        uint32_t signature = 0;
        uint32_t structVersion = 0;
        uint32_t fileVersionMS = 0;
        uint32_t fileVersionLS = 0;
        uint32_t productVersionMS = 0;
        uint32_t productVersionLS = 0;
        uint32_t fileFlagsMask = 0;
        uint32_t fileFlags = 0;
        uint32_t fileOS = 0;
        uint32_t fileType = 0;
        uint32_t fileSubtype = 0;
        uint32_t fileDateMS = 0;
        uint32_t fileDateLS = 0;
    };

    // Loads the block of the module at modulePath. Fails for a path that is not a loaded
    // module, that is anything but the running program's own file.
    bool Load(const std::string& modulePath);
    // A string value of the loaded translation; empty when not loaded or not present.
    std::string GetString(const std::string& name) const;

    const FixedInfo& Fixed() const { return fixed; }
    uint16_t Language() const { return language; }
    uint16_t CodePage() const { return codePage; }
    bool IsLoaded() const { return loaded; }

    // The running program's own full path.
    static std::string ProgramPath();

private:
    FixedInfo fixed;
    uint16_t language = 0;
    uint16_t codePage = kDefaultCodePage;
    bool loaded = false;
};
