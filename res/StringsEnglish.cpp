#include "StringEntry.h"

// The English texts of the user interface, in UTF-8.
extern const StringEntry kEnglishStrings[] = {
    {1, "Unzip files"},
    {2, "View archives's content"},
    {4, "Set properties"},
    {5, "Browse target directory"},
    {6, "Browse source"},
    {100, "You must restart this application\nfor changes to take place."},
    {101, "&About Zanvo..."},
    {133, "Close window"},
    {134, "http://www.orbelle.example/"},
    {135, "Download maps\r\nat Orbelle"},
    {136, "Select a directory:"},
    {137, "Directory contains archives"},
    {138, "Directory contains no archives"},
    {139, "Quit Zanvo"},
    {140, "Hide this pane"},
    {141, "Name"},
    {142, "Type"},
    {143, "Size"},
    {144, "Date"},
    {145, "Ratio"},
    {146, "Compressed"},
    {147, "You must select a source directory !"},
    {148, "You must select a target directory !"},
    {149, "Error"},
    {150, "Directory"},
    {151, "No archive found !"},
    {152, "Total: %d files, %s bytes."},
    {153, ","},
    {154,
     "The central directory was not found in the archive. If you're trying to open a multi-disk "
     "archive, make sure you have inserted the last disk. Retry?"},
    {155, "Error on opening file !"},
    {156, "Unauthorized generic characters!"},
    {157, "Comment"},
    {158, "%d/%m/%Y %H:%M"},
    {159, "View file content"},
    {160, "Cancel operation"},
    {161, "This folder doesn't exists. \r\n\r\nDo you want to create it?"},
    {162, "Unzip files"},
    {163, "Unable to find source directory.\r\n\r\n Please retry."},
    {164, "Warning"},
    {165,
     "The target directory could not be created !  The error returned by Windows is:  \r\n\r\n"},
    {166, "Hide file content"},
    {167, "Cancel operation ?"},
    {168, "&Close"},
    {169, "Done."},
    {170, "Done:  %d Error(s)."},
    {171, "Canceled by user"},
    {172, "&Unzip"},
    {173, "&Cancel"},
    {175, "File: \r\n     %s\r\n\r\nError : \r\n     %s"},
    {176, "No details of extraction to\r\n be posted for the moment."},
    {177, "No extraction report to\r\n be posted for the moment."},
    {178, "View extraction report"},
    {179, "&Report"},
    {180, "Overwrite existing file:"},
    {181, "With file:"},
    {184, "%s bytes %s"},
    {185, "The version information could not be fetched!"},
    {186, "You already have the newest version."},
    {187, "A new version of Zanvo was found!\r\n\r\nDo you want to download it?"},
    {188, "Information"},
    {189, "%s : %s -> Existing file not replaced\r\n"},
    // The command-line tool.
    {1000,
     "Usage: zanvo-cli [--language english|french] COMMAND ARCHIVE\n"
     "\n"
     "Reads ZIP archives of game maps the way Zanvo does, without a window.\n"
     "\n"
     "Commands:\n"
     "  list ARCHIVE   One line per entry, in entry order, with tab-separated fields:\n"
     "                 index, folder, name, size, compressed size, ratio, date,\n"
     "                 attributes (r, a, h, s or -), and D for a folder or F for a file.\n"
     "  test ARCHIVE   Reads every file entry with all the checks of an installation\n"
     "                 (CRC-32, sizes, data descriptor, safe names) and writes nothing.\n"
     "                 One line per file: its path in the archive, a tab, and OK or the\n"
     "                 error.\n"
     "\n"
     "Options:\n"
     "  --language english|french   Language of the messages and of the number\n"
     "                              format (default: french).\n"
     "  --help                      Shows this help.\n"
     "\n"
     "When the end of an archive cannot be found, zanvo-cli asks on the terminal\n"
     "whether to try again; when its input is not a terminal the answer is no.\n"
     "\n"
     "Exit status: 0 on success; 1 when an entry failed its test; 2 when the archive\n"
     "could not be opened or the command line is wrong.\n"},
    {1001, "Unknown command: %s"},
    {1002, "Missing archive path."},
    {1003, "Unknown language: %s (english or french)."},
    {1004, "Unknown option: %s"},
    {1005, " [y/N] "},
    {1006, "y"},
    {1007, "Try 'zanvo-cli --help'."},
    {1008, "Too many arguments."},
};
extern const int kEnglishStringCount = sizeof kEnglishStrings / sizeof kEnglishStrings[0];
