#pragma once

#include "InstallJob.h"
#include "InstallOptions.h"

class CSettingsSection;

// The settings record: what the next installation works on, and the installation options.
struct AppSettings {
    InstallJob job;
    InstallOptions options;

    // Binds the values of the "Settings" section (the nine of every version, then "Journal",
    // which older versions pass over), in the order they are written back.
    void Bind(CSettingsSection& section);
};
