#include "DialogEntry.h"

// The French texts of the dialog templates, in UTF-8.
extern const DialogEntry kFrenchDialogTexts[] = {
    {141, 0, "Extraction en cours"},
    {141, 1034, "&Action"},
    {141, 1032, "&Détails"},
    {141, 1002, "&Fermer"},
    {141, 1901, "Fichier:"},
    {141, 1902, "Source:"},
    {141, 1903, "Cible:"},
    {141, 1904, "Fichiers Extraits:"},
    {141, 1905, "Total:"},
    {141, 1906, "Archive:"},
    {147, 0, "Attention"},
    {147, 1, "&Oui"},
    {147, 2, "&Non"},
    {147, 1021, "&Oui pour Tous"},
    {147, 1022, "&Non pour Tous"},
    {147, 1036, "Remplacer le fichier existant:"},
    {147, 1042, "Par le fichier:"},
    {153, 0, "Rapport d'extraction"},
    {153, 1002, "&Fermer"},
};
extern const int kFrenchDialogTextCount = sizeof kFrenchDialogTexts / sizeof kFrenchDialogTexts[0];
