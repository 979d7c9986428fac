#pragma once
#include "datagen/DataDir.h"

#include <string>
#include <vector>

// A level maker's source (data-src/levels/levelN.txt): a readable header and
// the town as text grids, compiled into the tagged level file the game reads
// and, when the day has one, its story layout. data-src/levels/README.md
// describes the format.

struct CompiledLevel {
    std::string levelText;                // the level file, unscrambled
    std::string storyFile;                // "levelN.sto" or empty
    std::string storyText;                // its layout, unscrambled
    std::vector<std::string> pictures;    // every template the two name
    std::vector<std::string> nextLevels;  // the `LVL` name (empty for the last day)
};

// `sourceName` names the source in messages ("level3.txt:14: ..."); the level
// file takes the same stem with ".lvl". False with `error` set when the
// source breaks a rule; nothing is half written then.
bool CompileLevelSource(const std::string& sourceName, const std::string& text, CompiledLevel& out,
                        std::string& error);

// Every data-src/levels/*.txt, in name order, into scrambled ".lvl" and
// ".sto" files; a `next:` naming a level that has no source fails too.
bool GenerateLevels(DataDir& dir);
