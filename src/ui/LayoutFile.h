#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The entries of the help file and of story layout files as read, before any
// picture is loaded: the game builds its screens from them and the data tool
// prints them.

// The last page a help entry can be on: a larger number comes from a damaged file.
constexpr int32_t kMaxHelpPage = 999;

struct HelpEntry {
    bool isPicture = false;  // "IMG" (picture) or "TXT" (text)
    float x = 0.0f;
    float y = 0.0f;
    int32_t page = 0;        // -1: on every page
    float scale = 1.0f;
    std::string value;       // template file name or text
};

// Reads a scrambled help file keyed by its own name. Returns 1 when it cannot
// be opened, else 0 with every complete entry up to the end or the first
// incomplete one. In both kinds of layout file a tag that is not listed is
// skipped together with the one token after it.
int32_t ReadHelpFile(const char* fileName, std::vector<HelpEntry>* entries);

enum StoryTag : int32_t { kStoryBackground, kStoryPicture, kStoryText, kStoryTextX, kStoryTextY, kStoryButton };

struct StoryEntry {
    StoryTag tag = kStoryText;
    std::string name;   // background or picture template, text line, or the button's idle picture
    std::string name2;  // the button's hover picture
    float x = 0.0f;
    float y = 0.0f;
};

// Reads a scrambled story layout. Returns 1 when it cannot be opened, else 0
// with every complete entry (the reading stops at an incomplete one).
int32_t ReadStoryFile(const char* fileName, std::vector<StoryEntry>* entries);
