#include "DialogEntry.h"

// The English texts of the dialog templates, in UTF-8.
extern const DialogEntry kEnglishDialogTexts[] = {
    {100, 0, "About Zanvo"},
    {100, 1, "OK"},
    {100, 1024, "Version"},
    {102, 0, "Zanvo"},
    {102, 1007, "File"},
    {102, 1008, "Folder"},
    {102, 1004, "Extract"},
    {102, 1005, "View"},
    {102, 1006, "Properties"},
    {102, 1907, "Type:"},
    {102, 1902, "Source:"},
    {102, 1903, "Target:"},
    {138, 0, "Archives's details"},
    {138, 1002, "Close"},
    {138, 1003, "Hide"},
    {138, 1908, "Found Files:"},
    {138, 1909, "File content:"},
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
