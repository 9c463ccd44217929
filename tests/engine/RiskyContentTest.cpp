// Which files a map pack should not carry, and why.
#include <gtest/gtest.h>

#include "CStringTable.h"
#include "RiskyContent.h"

TEST(RiskyContent, rulesByNameFolderAndSignature) {
    CStringTable::Select(CStringTable::Language::English);
    struct Row {
        const char* path;
        std::string head;
        const char* reason;
    } rows[] = {
        {"Cheat.EXE", "", "program or library (.exe)"},
        {"bin/hook.asi", "", "program or library (.asi)"},
        {"tools/run.sh", "", "program or library (.sh)"},
        {"maps/de_x.bsp", "MZ\x90", "program (PE (MZ) signature)"},
        {"sound/a.wav",
         "\x7f"
         "ELF",
         "program (ELF signature)"},
        {"x.wad", "\xcf\xfa\xed\xfe", "program (Mach-O signature)"},
        {"pack/DLLS/readme.txt", "", "game code (dlls/)"},
        {"Valve\\cl_dlls\\readme.txt", "", "game code (cl_dlls/)"},
        {"addons/metamod/plugins.ini", "", "game code (addons/metamod/)"},
        {"cstrike/liblist.gam", "", "game configuration (liblist.gam)"},
        {"GameInfo.TXT", "", "game configuration (gameinfo.txt)"},
        {"cfg/autoexec.cfg", "", "game configuration (.cfg)"},
        // Nothing of the kind: names that only look alike, folders in the wrong order.
        {"maps/de_x.bsp", "VBSP", ""},
        {"maps/dlls.bsp", "", ""},
        {"metamod/addons/x.txt", "", ""},
        {"readme.sh.txt", "M", ""},
        {".cfg", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(RiskyContent::Reason(row.path, row.head), row.reason);
    }
}
