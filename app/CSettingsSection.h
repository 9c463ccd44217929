#pragma once

#include <string>
#include <vector>

// One section of the program's settings with variables bound to its values: each is read when
// it is bound and, unless the section is read-only, written back in binding order when the
// section is destroyed. The section does not own the variables; they must outlive it.
class CSettingsSection {
public:
    // A read-only section never writes (the command-line tool only reads the settings).
    explicit CSettingsSection(std::string sectionName, bool readOnly = false);
    ~CSettingsSection();
    CSettingsSection(const CSettingsSection&) = delete;
    CSettingsSection& operator=(const CSettingsSection&) = delete;

    // Writes the bound values now, as the destructor does (nothing for a read-only section).
    void Write() const;

    void BindInt(const std::string& valueName, int& variable, int defaultValue);
    // A value that exists but is empty gives the empty string, not the default.
    void BindString(const std::string& valueName, std::string& variable,
                    const std::string& defaultValue);

private:
    struct Binding {
        std::string valueName;
        int* integer;
        std::string* text;
    };

    std::string sectionName;
    bool readOnly;
    std::vector<Binding> bindings;
};
