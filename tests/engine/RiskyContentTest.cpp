// Which files a map pack should not carry, and why.
#include <gtest/gtest.h>

#include "CStringTable.h"
#include "RiskyContent.h"

TEST(RiskyContent, rulesByNameFolderAndSignature) {
    CStringTable::Select(CStringTable::Language::English);
    struct Row {
        const char* archivePath;
        const char* destination;
        std::string head;
        const char* reason;
    } rows[] = {
        {"Cheat.EXE", "divers\\de_x\\Cheat.EXE", "", "program or library (.exe)"},
        {"bin/hook.asi", "divers\\hook.asi", "", "program or library (.asi)"},
        {"tools/run.sh", "divers\\run.sh", "", "program or library (.sh)"},
        {"maps/de_x.bsp", "maps\\de_x.bsp", "MZ\x90", "program (PE (MZ) signature)"},
        {"sound/a.wav", "sound\\a.wav",
         "\x7f"
         "ELF",
         "program (ELF signature)"},
        {"x.wad", "x.wad", "\xcf\xfa\xed\xfe", "program (Mach-O signature)"},
        {"pack/DLLS/readme.txt", "divers\\readme.txt", "", "game code (dlls/)"},
        {"readme.txt", "cl_dlls\\readme.txt", "", "game code (cl_dlls/)"},
        {"addons/metamod/plugins.ini", "divers\\plugins.ini", "", "game code (addons/metamod/)"},
        {"cstrike/liblist.gam", "liblist.gam", "", "game configuration (liblist.gam)"},
        {"GameInfo.TXT", "GameInfo.TXT", "", "game configuration (gameinfo.txt)"},
        {"cfg/autoexec.cfg", "autoexec.cfg", "", "game configuration (.cfg)"},
        // Nothing of the kind: names that only look alike, folders in the wrong order.
        {"maps/de_x.bsp", "maps\\de_x.bsp", "VBSP", ""},
        {"maps/dlls.bsp", "maps\\dlls.bsp", "", ""},
        {"metamod/addons/x.txt", "divers\\x.txt", "", ""},
        {"readme.sh.txt", "readme.sh.txt", "M", ""},
        {".cfg", ".cfg", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.archivePath);
        EXPECT_EQ(RiskyContent::Reason(row.archivePath, row.destination, row.head), row.reason);
    }
}
