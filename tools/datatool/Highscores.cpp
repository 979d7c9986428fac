#include "datatool/Commands.h"

#include "player/GMHighscoreTable.h"

#include <string>
#include <vector>

int CmdHighscores(int argc, char** argv, FILE* out, FILE* err)
{
    if (argc != 1) {
        std::fprintf(err, "usage: brimvale-data highscores FILE\n");
        return 2;
    }
    struct Row {
        std::string name;
        int32_t score;
    };
    std::vector<Row> rows;
    GMHighscoreTable table;  // for its key
    int32_t declared = 0;
    bool whole = false;
    bool read = ReadHighscoreFile(
        argv[0], table.GetKey(), GMHighscoreTable::kKeyLength,
        [](void* context, const char* name, int32_t score) {
            static_cast<std::vector<Row>*>(context)->push_back({name, score});
        },
        &rows, &declared, &whole);
    if (!read) {
        std::fprintf(err, "brimvale-data: cannot open \"%s\" (the game would show its default table)\n", argv[0]);
        return 1;
    }
    std::fprintf(out, "%s: %d entries\n", argv[0], declared);
    for (size_t i = 0; i < rows.size(); ++i)
        std::fprintf(out, "%3zu  %-12s %d\n", i + 1, rows[i].name.c_str(), rows[i].score);
    if (static_cast<int32_t>(rows.size()) < declared)
        std::fprintf(out, "file ends after %zu of %d entries\n", rows.size(), declared);
    if (!whole) {
        std::fprintf(err, "brimvale-data: \"%s\" is damaged (the game would keep it aside and show its default table)\n",
                     argv[0]);
        return 1;
    }
    return 0;
}
