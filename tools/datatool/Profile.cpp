#include "datatool/Commands.h"

#include "core/FileSys.h"
#include "player/GMProfile.h"

int CmdProfile(int argc, char** argv, FILE* out, FILE* err)
{
    if (argc != 1) {
        std::fprintf(err, "usage: brimvale-data profile FILE\n");
        return 2;
    }
    GMProfile p;
    if (p.LoadProfile(argv[0]) != GMProfile::kProfileOk) {
        std::fprintf(err, "brimvale-data: cannot open \"%s\"\n", argv[0]);
        return 1;
    }
    // A profile read under another name than it was written with has no name.
    if (p.GetDisplayName())
        std::fprintf(out, "name: \"%s\"\n", p.GetDisplayName());
    else
        std::fprintf(out, "name: none (damaged, or renamed since it was written)\n");
    std::fprintf(out, "score: %d\nrating points: %d\nmoney: %d\n", p.GetScore(), p.GetRatingPoints(), p.GetMoney());
    if (p.GetCurrentLevel())
        std::fprintf(out, "current level: \"%s\" (index %d)\n", p.GetCurrentLevel(), p.GetCurrentLevelIndex());
    else
        std::fprintf(out, "current level: none (index %d)\n", p.GetCurrentLevelIndex());
    std::fprintf(out, "levels: %d\n", p.GetLevelCount());
    for (int32_t i = 0; i < p.GetLevelCount(); ++i)
        std::fprintf(out, "  %d: \"%s\"\n", i, p.GetLevel(i) ? p.GetLevel(i) : "");
    std::fprintf(out, "bonuses: %d\n", p.GetBonusRecordCount());
    for (int32_t i = 0; i < p.GetBonusSlots(); ++i) {
        if (const GMProfileBonus* b = p.GetBonus(i))
            std::fprintf(out, "  kind %d: count %d, price %d, duration %g s, value %g\n", b->kind, b->count, b->price,
                         static_cast<double>(b->duration / 1000.0f), static_cast<double>(b->value));
    }
    if (!p.IsWhole()) {
        // The game would keep this file aside and go on with what is printed.
        std::fprintf(err, "brimvale-data: \"%s\" is damaged: it does not read back whole (shown: what could be read)\n",
                     argv[0]);
        return 1;
    }
    return 0;
}
