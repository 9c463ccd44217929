#pragma once

#include <cstdint>
#include <map>
#include <span>
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

    // A version block as a module carries it: the fixed part, the translation table, and one
    // table of string values per translation, keyed "llllcccc" (language and code page in
    // lower-case hexadecimal).
    struct Translation {
        uint16_t language;
        uint16_t codePage;
    };
    struct StringValue {
        const char* name;
        const char* value;
    };
    struct StringTable {
        const char* key;
        std::span<const StringValue> values;
    };
    struct Block {
        FixedInfo fixed;
        std::span<const Translation> translations;
        std::span<const StringTable> tables;
    };

    // The running program's own block, made from the project version when it was built.
    static const Block& ProgramBlock();

    // Loads the block of the module at modulePath. Fails for a path that is not a loaded
    // module, that is anything but the running program's own file.
    bool Load(const std::string& modulePath);
    // What Load does once it has the module's block: copies it and takes its first
    // translation. True when the fixed part carries the signature.
    bool LoadBlock(const Block& block);
    // A string value of the loaded translation; empty when not loaded or not present.
    std::string GetString(const std::string& name) const;

    const FixedInfo& Fixed() const { return fixed; }
    uint16_t Language() const { return language; }
    uint16_t CodePage() const { return codePage; }
    bool IsLoaded() const { return loaded; }

    // The running program's own full path.
    static std::string ProgramPath();

private:
    // Back to the state before any load: nothing to read, the default code page.
    void Clear();

    FixedInfo fixed;
    uint16_t language = 0;
    uint16_t codePage = kDefaultCodePage;
    bool loaded = false;
    // Every string value of the block, by its query path "\StringFileInfo\<key>\<name>".
    std::map<std::string, std::string> strings;
};
