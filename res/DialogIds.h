#pragma once

// Dialog templates and the ids of their controls.
enum DialogId : int {
    IDD_OVERWRITE = 147,
};

enum ControlId : int {
    IDC_YES = 1,
    IDC_NO = 2,
    IDC_YES_FOR_ALL = 1021,
    IDC_NO_FOR_ALL = 1022,
    IDC_REPLACE_LABEL = 1036,
    IDC_WITH_LABEL = 1042,
};
