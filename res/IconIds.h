#pragma once

// The program's icons, by the ids of their files in the artwork (":/icons/<id>.svg"), and its
// animation clips (":/anim/<id>/").
enum IconId : int {
    IDI_MAIN = 128,
    IDI_BROWSE = 130,
    IDI_EXTRACT = 131,
    IDI_CLOSE = 133,
    IDI_VIEW = 135,
    IDI_PROPERTIES = 136,
    IDI_LINK = 137,
    IDI_QUIT = 139,
    IDI_HIDE_DETAILS = 140,
    IDI_SHOW_DETAILS = 144,
    IDI_CANCEL = 145,
    IDI_UNZIP = 146,
    IDI_ERROR_MARK = 148,
    IDI_ARCHIVE = 150,
    IDI_DONE = 151,
    IDI_DONE_ERRORS = 152,
};

// Pictures (":/bitmaps/<id>.png" or ".svg").
enum BitmapId : int {
    IDB_SPLASH = 135,
};

enum ClipId : int {
    IDR_EXTRACT_ANIMATION = 142,
};
