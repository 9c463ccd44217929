#pragma once

// One text of a dialog template: its template id, its control id (0 for the title), its text.
struct DialogEntry {
    int dialog;
    int control;
    const char* text;
};
