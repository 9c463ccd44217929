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
     "Usage: zanvo-cli [OPTIONS] COMMAND ...\n"
     "\n"
     "Reads and installs ZIP archives of game maps the way Zanvo does, without a\n"
     "window, and keeps a journal of each install to verify or uninstall it later.\n"
     "\n"
     "Commands:\n"
     "  list ARCHIVE           One line per entry, in entry order, with tab-separated\n"
     "                         fields: index, folder, name, size, compressed size,\n"
     "                         ratio, date, attributes (r, a, h, s or -), and D for a\n"
     "                         folder or F for a file.\n"
     "  test ARCHIVE           Reads every file entry with all the checks of an\n"
     "                         installation (CRC-32, sizes, data descriptor, safe\n"
     "                         names) and writes nothing. One line per file: its path\n"
     "                         in the archive, a tab, and OK or the error.\n"
     "  install SOURCE TARGET  Installs the archive SOURCE (a path ending in .zip), or\n"
     "                         every *.zip archive of the folder SOURCE, into the\n"
     "                         folder TARGET. The report goes to standard output, the\n"
     "                         final status to standard error. Risky files are left\n"
     "                         out, with a report line each, unless --allow-risky.\n"
     "  plan SOURCE [TARGET]   Writes nothing. One line per file entry, with\n"
     "                         tab-separated fields: the archive, the path in the\n"
     "                         archive, and where install would put the file\n"
     "                         (relative to TARGET), \"skip\", or \"refused\" and why;\n"
     "                         with TARGET also \"new\" or \"exists\"; for a risky file,\n"
     "                         a last field \"risky: \" and why.\n"
     "  games                  One line per game folder of the Steam libraries, with\n"
     "                         tab-separated fields: the game, its mod (the name\n"
     "                         --game takes) and the folder.\n"
     "  history TARGET         The installs and uninstalls recorded in TARGET, newest\n"
     "                         first, with tab-separated fields: the time (UTC), the\n"
     "                         archive, the files written, the files replaced, the\n"
     "                         journal's name and the state: installed, uninstalled,\n"
     "                         interrupted, or \"uninstall of\" the journal taken out.\n"
     "  verify TARGET [ARCHIVE]\n"
     "                         One line per file recorded (of ARCHIVE only, when\n"
     "                         given), with tab-separated fields: the archive, the\n"
     "                         path, and OK, changed, missing, or \"replaced by\" the\n"
     "                         archive installed over it.\n"
     "  uninstall TARGET ARCHIVE\n"
     "                         Takes the newest install of ARCHIVE (in any case) out:\n"
     "                         removes its files, brings back the files it replaced,\n"
     "                         removes the folders it made once empty, and keeps a\n"
     "                         file changed since or replaced by a later archive. One\n"
     "                         line per step: remove, restore, keep and why, rmdir.\n"
     "                         With a journal's name (see history) as ARCHIVE, takes\n"
     "                         that one out: this is how an uninstall is reversed.\n"
     "\n"
     "Options of install and plan (Zanvo's stored settings are the defaults; they\n"
     "are read, never written):\n"
     "  --sort, --no-sort      Analyse and sort Steam archives, or keep the archives'\n"
     "                         own folders.\n"
     "  --misc FOLDER          The Misc folder, relative to TARGET, for the files the\n"
     "                         sorting cannot place.\n"
     "  --replace, --no-replace\n"
     "                         Replace existing files without confirmation.\n"
     "  --confirm-different, --no-confirm-different\n"
     "                         With --replace, still ask when the date or the size\n"
     "                         differs.\n"
     "  --yes-all, --no-all    Answer every replace question with Yes For All, or\n"
     "                         with No For All.\n"
     "  --yes                  Create TARGET without asking when it does not exist.\n"
     "  --game MOD             In place of TARGET: the folder of the mod MOD (cstrike,\n"
     "                         valve, ...) in the Steam libraries, as games lists it.\n"
     "  --no-journal, --journal\n"
     "                         Keep no journal of the install in TARGET, or keep one\n"
     "                         (the default, unless the setting Journal is 0).\n"
     "  --allow-risky          Install risky files too: programs and libraries, game\n"
     "                         code (dlls/, cl_dlls/, addons/metamod/) and game\n"
     "                         configuration (.cfg, liblist.gam, gameinfo.txt).\n"
     "\n"
     "Option of uninstall:\n"
     "  --dry-run              Show what uninstall would do, and change nothing.\n"
     "\n"
     "Options:\n"
     "  --language english|french\n"
     "                         Language of the messages and of the number format\n"
     "                         (default: Zanvo's stored language, french on a first\n"
     "                         start).\n"
     "  --help                 Shows this help.\n"
     "\n"
     "Questions (try an archive again, create the target, replace a file) are asked\n"
     "on the terminal; when the input is not a terminal the answer is no, and\n"
     "existing files are kept. Ctrl+C stops an installation after the archive in\n"
     "progress; a second Ctrl+C, SIGTERM or SIGHUP ends it at once.\n"
     "\n"
     "An install that writes files records them, with their SHA-256, in\n"
     "TARGET/.zanvo/journal/, and keeps the files it replaced in\n"
     "TARGET/.zanvo/backup/. An install ended before its journal was written shows\n"
     "in history as interrupted; uninstall brings back the files it replaced.\n"
     "\n"
     "Exit status: 0 on success; 1 when an entry failed (test, install), an archive\n"
     "could not be opened (plan), the installation was stopped, no game folder was\n"
     "found (games), a file is changed or missing (verify), a journal cannot be read\n"
     "(history, verify), or a file could not be moved or the uninstall could not be\n"
     "recorded (uninstall); 2 when the archive could not be opened (list, test), no\n"
     "archive was found, the source, the target or the game of --game was refused,\n"
     "no install of ARCHIVE is recorded (verify, uninstall), a journal cannot be\n"
     "trusted (uninstall), or the command line is wrong; 3 when install left risky\n"
     "files out and nothing else failed.\n"},
    {1001, "Unknown command: %s"},
    {1002, "Missing archive path."},
    {1003, "Unknown language: %s (english or french)."},
    {1004, "Unknown option: %s"},
    {1005, " [y/N] "},
    {1006, "y"},
    {1007, "Try 'zanvo-cli --help'."},
    {1008, "Too many arguments."},
    {1009, "Archive %d/%d, entry %d/%d"},
    {1010, "[y] yes, [n] no, [a] yes for all, [s] no for all? "},
    {1011, "ynas"},
    {1012, "Missing source or target."},
    {1013, "Cannot write the output: %s"},
    {1014, "Missing value for %s."},
    {1015, "The Misc folder may not lead through '..': %s"},
    {1016, "Target folder used: %s (its name differs from the one given only in case)."},
    {1017, "The settings file %s is not a regular file; the default settings apply."},
    {1018, "The settings file %s is larger than 1 MiB; the default settings apply."},
    {1019, "The settings file %s cannot be read (%s); the default settings apply."},
    {1020, "Journal %s is not a regular file: it is not used."},
    {1021, "Journal %s is too large to be one Zanvo wrote: it is not used."},
    {1022, "Journal %s cannot be read (%s): it is not used."},
    {1023, "Journal %s is malformed (%s): it is not used."},
    {1024, "Journal %s names a path outside the target (%s): it is not used."},
    {1025, "%s is a symbolic link: the journals are not used."},
    {1026, "No install of %s is recorded in this target."},
    {1027, "%s was uninstalled already: nothing to do."},
    {1028, "Nothing was removed: a journal of this target cannot be trusted."},
    {1029, "Dry run: nothing was changed."},
    {1030, "%s uninstalled: %s removed, %s restored, %s kept."},
    {1031, "changed since the install"},
    {1032, "replaced by %s"},
    {1033, "already gone"},
    {1034, "not the file installed: a folder or a link stands there"},
    {1035, "the file it replaced is missing from the backup folder"},
    {1036, "the file it replaced changed in the backup folder; it stays there: %s"},
    {1037, "another file stands there; the one it replaced stays in %s"},
    {1038, "could not be moved: %s"},
    {1039, "No install is recorded in this target."},
    {1040, "The target folder %s does not exist."},
    {1041, "Journal %s leads through a symbolic link (%s): nothing was removed."},
    {1042, "The uninstall could not be recorded: %s"},
    {1043, "program or library (%s)"},
    {1044, "program (%s signature)"},
    {1045, "game code (%s)"},
    {1046, "game configuration (%s)"},
    {1047, "%s : %s -> Not installed, %s\r\n"},
    {1048,
     "%s holds files that run code or change the game's configuration. A map pack has no reason to "
     "carry them:\n\n%s\nInstall them anyway?"},
    {1049, "Skip them"},
    {1050, "Install them"},
    {1051, "Risky files"},
    {1052, "--dry-run is an option of uninstall only."},
    {1053, "Missing target folder or archive name."},
    {1054, "Journal %s is not JSON: it is not used."},
    {1055, "The entry would be written into the folder of the install journals"},
    // The game folders of the Steam libraries.
    {1060,
     "No game folder was found in the Steam libraries; if Steam is installed elsewhere, set "
     "STEAM_DIR to its folder."},
    {1061,
     "No game folder %s was found in the Steam libraries; 'zanvo-cli games' lists the ones "
     "found."},
    {1062, "Several game folders are named %s; give the one meant as TARGET:"},
    {1063, "--game takes the place of TARGET; give only one of them."},
};
extern const int kEnglishStringCount = sizeof kEnglishStrings / sizeof kEnglishStrings[0];
