#include "Commands.h"

#include <cstring>

const DataCommandEntry* DataCommands()
{
    static const DataCommandEntry commands[] = {
        {"scramble", "scramble IN OUT     write OUT scrambled with the key of OUT's file name", CmdScramble},
        {"unscramble", "unscramble IN       print the plain text of IN, keyed by IN's file name", CmdUnscramble},
        {"help", "help FILE           print the pages, pictures and texts of a help file", CmdHelp},
        {"story", "story FILE          print a story layout", CmdStory},
        {"template", "template [-C DIR] FILE  print a template's frames, speed, loop start, blending (DIR: data dir)",
         CmdTemplate},
        {"profile", "profile FILE        print what a player profile holds", CmdProfile},
        {"highscores", "highscores FILE     print the entries of a highscore file", CmdHighscores},
        {"level", "level [-C DIR] FILE print what a level holds once loaded, and every line it refused", CmdLevel},
        {"check", "check [-C DIR] FILE every problem of a level source (.txt) or built level before playing it;\n"
                  "                      exit 1 when there is one (DIR: the data set, by default build/game/data\n"
                  "                      for a source, the level's own directory for a built level)",
         CmdCheck},
        {nullptr, nullptr, nullptr},
    };
    return commands;
}

static void PrintUsage(FILE* to)
{
    std::fprintf(to, "usage: brimvale-data COMMAND ARGS...\n");
    for (const DataCommandEntry* c = DataCommands(); c->name; ++c)
        std::fprintf(to, "  %s\n", c->usage);
}

int RunDataTool(int argc, char** argv, FILE* out, FILE* err)
{
    if (argc < 2) {
        PrintUsage(err);
        return 2;
    }
    if (!std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "help")) {
        if (argc == 2) {
            PrintUsage(out);
            return 0;
        }
    }
    for (const DataCommandEntry* c = DataCommands(); c->name; ++c) {
        if (!std::strcmp(c->name, argv[1]))
            return c->run(argc - 2, argv + 2, out, err);
    }
    std::fprintf(err, "brimvale-data: unknown command \"%s\"\n", argv[1]);
    PrintUsage(err);
    return 2;
}
