#pragma once

// The program's icons, by the ids of their files in the artwork (":/icons/<id>.svg"), and its
// animation clips (":/anim/<id>/").
enum IconId : int {
    IDI_CLOSE = 133,
    IDI_HIDE_DETAILS = 140,
    IDI_SHOW_DETAILS = 144,
    IDI_CANCEL = 145,
    IDI_UNZIP = 146,
    IDI_ERROR_MARK = 148,
    IDI_ARCHIVE = 150,
    IDI_DONE = 151,
    IDI_DONE_ERRORS = 152,
};

enum ClipId : int {
    IDR_EXTRACT_ANIMATION = 142,
};
