#pragma once

// Dialog templates and the ids of their controls.
enum DialogId : int {
    IDD_EXTRACT = 141,
    IDD_OVERWRITE = 147,
    IDD_REPORT = 153,
};

enum ControlId : int {
    IDC_YES = 1,
    IDC_NO = 2,
    IDC_CLOSE = 1002,
    IDC_ARCHIVE_BAR = 1008,
    IDC_TOTAL_BAR = 1009,
    IDC_FILE_VALUE = 1013,
    IDC_SOURCE_VALUE = 1014,
    IDC_TARGET_VALUE = 1015,
    IDC_TREE_FRAME = 1018,
    IDC_ANIMATION = 1021,
    IDC_YES_FOR_ALL = 1021,
    IDC_NO_FOR_ALL = 1022,
    IDC_REPORT_TEXT = 1028,
    IDC_TREE = 1031,
    IDC_DETAILS = 1032,
    IDC_ACTION = 1034,
    IDC_REPLACE_LABEL = 1036,
    IDC_NAME_LINE = 1037,
    IDC_DATE_LINE = 1038,
    IDC_WITH_NAME_LINE = 1040,
    IDC_WITH_DATE_LINE = 1041,
    IDC_WITH_LABEL = 1042,
    // Labels whose text never changes have no id of their own in the templates; these ids only
    // find their texts in the tables.
    IDC_FILE_LABEL = 1901,
    IDC_SOURCE_LABEL = 1902,
    IDC_TARGET_LABEL = 1903,
    IDC_TREE_LABEL = 1904,
    IDC_TOTAL_LABEL = 1905,
    IDC_ARCHIVE_LABEL = 1906,
};
