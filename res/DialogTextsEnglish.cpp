#include "DialogEntry.h"

// The English texts of the dialog templates, in UTF-8.
extern const DialogEntry kEnglishDialogTexts[] = {
    {147, 0, "Warning"},        {147, 1, "&Yes"},          {147, 2, "&No"},
    {147, 1021, "Yes For All"}, {147, 1022, "No For All"}, {147, 1036, "Replace existing file:"},
    {147, 1042, "With file:"},
};
extern const int kEnglishDialogTextCount =
    sizeof kEnglishDialogTexts / sizeof kEnglishDialogTexts[0];
