#pragma once

// The answers of the replace question, with the values its dialog ends with.
enum OverwriteChoice : int {
    overwriteYes = 1,
    overwriteNo = 2,  // also Esc, the close box, Enter, and a dialog that cannot be shown
    overwriteYesForAll = 3,
    overwriteNoForAll = 4,
};
