// The highscore table's file: keyed binary blocks, given as stored.
#include "FuzzSupport.h"

#include "player/GMHighscoreTable.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterWorkDir();
    fuzz::WriteFile("highscores.dat", data, size);
    static GMHighscoreTable table;
    int32_t declared = 0;
    bool whole = false;
    size_t total = 0;
    ReadHighscoreFile(
        "highscores.dat", table.GetKey(), GMHighscoreTable::kKeyLength,
        [](void* context, const char* name, int32_t score) {
            *static_cast<size_t*>(context) += std::string(name).size() + size_t(score & 1);
        },
        &total, &declared, &whole);
    IsWholeHighscoreFile("highscores.dat");
    return 0;
}
