#include "datatool/Commands.h"

#include "ui/LayoutFile.h"

#include <map>
#include <set>
#include <vector>

int CmdHelp(int argc, char** argv, FILE* out, FILE* err)
{
    if (argc != 1) {
        std::fprintf(err, "usage: brimvale-data help FILE\n");
        return 2;
    }
    std::vector<HelpEntry> entries;
    if (ReadHelpFile(argv[0], &entries) != 0) {
        std::fprintf(err, "brimvale-data: cannot open \"%s\"\n", argv[0]);
        return 1;
    }
    // Pages as the game counts them: one more than the highest page named
    // (pages past the last one a help can have are left out).
    int pages = 0;
    for (const HelpEntry& e : entries) {
        if (e.page >= pages && e.page <= kMaxHelpPage)
            pages = e.page + 1;
    }
    std::fprintf(out, "%s: %zu entries, %d pages\n", argv[0], entries.size(), pages);
    std::map<int, std::vector<const HelpEntry*>> byPage;
    for (const HelpEntry& e : entries)
        byPage[e.page].push_back(&e);
    for (const auto& [page, list] : byPage) {
        if (page < 0)
            std::fprintf(out, "every page:\n");
        else if (page > kMaxHelpPage)
            std::fprintf(out, "page %d (past page %d, left out):\n", page, kMaxHelpPage);
        else
            std::fprintf(out, "page %d:\n", page);
        for (const HelpEntry* e : list) {
            std::fprintf(out, "  %s at (%g, %g) scale %g: \"%s\"\n", e->isPicture ? "picture" : "text", e->x, e->y,
                         e->scale, e->value.c_str());
        }
    }
    return 0;
}

int CmdStory(int argc, char** argv, FILE* out, FILE* err)
{
    if (argc != 1) {
        std::fprintf(err, "usage: brimvale-data story FILE\n");
        return 2;
    }
    std::vector<StoryEntry> entries;
    if (ReadStoryFile(argv[0], &entries) != 0) {
        std::fprintf(err, "brimvale-data: cannot open \"%s\"\n", argv[0]);
        return 1;
    }
    bool button = false;
    std::fprintf(out, "%s: %zu entries\n", argv[0], entries.size());
    for (const StoryEntry& e : entries) {
        switch (e.tag) {
        case kStoryBackground:
            std::fprintf(out, "background \"%s\"\n", e.name.c_str());
            break;
        case kStoryPicture:
            std::fprintf(out, "picture \"%s\" at (%g, %g)\n", e.name.c_str(), e.x, e.y);
            break;
        case kStoryText:
            if (e.name[0] == '@')
                std::fprintf(out, "text (standard font) \"%s\"\n", e.name.c_str() + 1);
            else
                std::fprintf(out, "text \"%s\"\n", e.name.c_str());
            break;
        case kStoryTextX:
            std::fprintf(out, "text left %g\n", e.x);
            break;
        case kStoryTextY:
            std::fprintf(out, "text top %g\n", e.y);
            break;
        case kStoryButton:
            std::fprintf(out, "button \"%s\" / \"%s\" at (%g, %g)\n", e.name.c_str(), e.name2.c_str(), e.x, e.y);
            button = true;
            break;
        }
    }
    if (!button) {
        std::fprintf(err, "brimvale-data: \"%s\" has no continue button (\"BTN\"); the game will not show it\n", argv[0]);
        return 1;
    }
    return 0;
}
