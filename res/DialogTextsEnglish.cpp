#include "DialogEntry.h"

// The English texts of the dialog templates, in UTF-8.
extern const DialogEntry kEnglishDialogTexts[] = {
    {141, 0, "Extracting"},    {141, 1034, "&Action"},
    {141, 1032, "&Détails"},   {141, 1002, "&Close"},
    {141, 1901, "File:"},      {141, 1902, "Source:"},
    {141, 1903, "Target:"},    {141, 1904, "Extracted Files:"},
    {141, 1905, "Total:"},     {141, 1906, "Archive:"},
    {147, 0, "Warning"},       {147, 1, "&Yes"},
    {147, 2, "&No"},           {147, 1021, "Yes For All"},
    {147, 1022, "No For All"}, {147, 1036, "Replace existing file:"},
    {147, 1042, "With file:"}, {153, 0, "Extract Report"},
    {153, 1002, "&Close"},
};
extern const int kEnglishDialogTextCount =
    sizeof kEnglishDialogTexts / sizeof kEnglishDialogTexts[0];
