#pragma once

// Dialog templates and the ids of their controls.
enum DialogId : int {
    IDD_ABOUT = 100,
    IDD_MAIN = 102,
    IDD_DETAILS = 138,
    IDD_EXTRACT = 141,
    IDD_OVERWRITE = 147,
    IDD_REPORT = 153,
};

enum ControlId : int {
    IDC_YES = 1,
    IDC_OK = 1,
    IDC_NO = 2,
    IDC_CLOSE = 1002,
    // The main window.
    IDC_QUIT = 1002,
    IDC_LINK = 1003,
    IDC_EXTRACT = 1004,
    IDC_VIEW = 1005,
    IDC_PROPERTIES = 1006,
    IDC_FILE_TYPE = 1007,
    IDC_FOLDER_TYPE = 1008,
    IDC_SOURCE_COMBO = 1009,
    IDC_TARGET_COMBO = 1010,
    IDC_BROWSE_SOURCE = 1013,
    IDC_BROWSE_TARGET = 1014,
    // The about box.
    IDC_ABOUT_VERSION = 1024,
    IDC_ABOUT_LEGAL = 1025,
    // The archive viewer.
    IDC_HIDE = 1003,
    IDC_ARCHIVE_LIST = 1011,
    IDC_ARCHIVE_TOTALS = 1015,
    IDC_CONTENT_LIST = 1016,
    IDC_CONTENT_TOTALS = 1017,
    IDC_PANE_FRAME = 1018,
    IDC_SOURCE_PATH = 1019,
    IDC_ARCHIVE_NAME = 1020,
    // The Extracting window.
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
    IDC_TYPE_LABEL = 1907,
    IDC_FOUND_LABEL = 1908,
    IDC_CONTENT_LABEL = 1909,
};
