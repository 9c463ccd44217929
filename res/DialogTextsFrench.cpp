#include "DialogEntry.h"

// The French texts of the dialog templates, in UTF-8.
extern const DialogEntry kFrenchDialogTexts[] = {
    {147, 0, "Attention"},
    {147, 1, "&Oui"},
    {147, 2, "&Non"},
    {147, 1021, "&Oui pour Tous"},
    {147, 1022, "&Non pour Tous"},
    {147, 1036, "Remplacer le fichier existant:"},
    {147, 1042, "Par le fichier:"},
};
extern const int kFrenchDialogTextCount = sizeof kFrenchDialogTexts / sizeof kFrenchDialogTexts[0];
