// Target 7: the history submenu, measured by kep_bench_history in a process of
// its own.
#include "bench/targets/TargetRows.h"

#include <fstream>

// kep_bench_history in a process of its own: the decoding of one picture,
// the opening of the submenu with ten of them (with and without EXIF
// thumbnails), the submenu shown, and one highlight change.
void BenchHistoryMenu()
{
    const std::string result = BenchFolder() + "\\history.txt";
    DeleteFileA(result.c_str());
    if (!RunAndWait("\"" + ModuleFolder() + "\\kep_bench_history.exe\" --result \"" + result + "\"", 300000))
        return;
    std::ifstream in(result);
    double decode = 0, open = 0, change = 0, cameraOpen = 0, shown = 0;
    if (!(in >> decode >> open >> change >> cameraOpen >> shown))
        return;
    AddRatio("7", "history submenu opening, camera photos / 10 decodes", cameraOpen, 10 * decode, 0.2);
    AddRatio("7", "history submenu opening / 10 decodes", open, 10 * decode, 1.0);
    AddRatio("7", "history submenu shown / 20 ms", shown, 20.0, 5.0);
    AddRatio("7", "history highlight change / 20 ms", change, 20.0, 1.0);
}
