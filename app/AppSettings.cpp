#include "AppSettings.h"

#include "CSettingsSection.h"

void AppSettings::Bind(CSettingsSection& section) {
    section.BindInt("Type", job.Type, sourceFolder);
    section.BindString("TargetDir", job.TargetDir, "");
    section.BindString("SourceDir", job.SourceDir, "");
    section.BindString("MiscPath", options.MiscPath, "divers\\");
    section.BindString("Language", options.Language, "french");
    section.BindInt("Replace", options.Replace, 0);
    section.BindInt("Newer", options.Newer, 0);
    section.BindInt("Analyse", options.Analyse, 1);
    section.BindInt("WebUpdate", options.WebUpdate, 0);
    section.BindInt("Journal", options.Journal, 1);
}
