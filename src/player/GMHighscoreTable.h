#pragma once
#include "core/CGameList.h"

#include <cstdint>
#include <string>

class DisplayDevice;
class GMImage;
class GMImageManager;

// The ten best totals, kept in "highscores.dat" as keyed binary blocks.
class GMHighscoreTable {
public:
    struct Entry {
        std::string name;
        int32_t score;
    };

    static constexpr int32_t kKeyLength = 28;
    static constexpr int32_t kShownEntries = 10;

    GMHighscoreTable();
    ~GMHighscoreTable() { ClearHighscores(); }
    GMHighscoreTable(const GMHighscoreTable&) = delete;
    GMHighscoreTable& operator=(const GMHighscoreTable&) = delete;

    // 0; 3 when the font image object cannot be created. Without a readable
    // file the table holds the ten default entries; so it does when the file
    // does not read back whole, which is then set aside (GMPlayerStore) and
    // the player told.
    int32_t LoadHighscores(const char* fileName, GMImageManager* manager, DisplayDevice* device);
    // 0 when written or the name is empty; 2 when the file cannot be created.
    // Only the first ten entries are saved. A damaged file is set aside first.
    int32_t SaveHighscores(const char* fileName) const;
    // Row of the new entry from the top; it ranks above older equal scores.
    int32_t InsertHighscore(const char* name, int32_t score);
    void ClearHighscores();
    // 1 without a font, else 0.
    int32_t DrawHighscores(DisplayDevice* device);

    void InsertDefaults();

    int32_t GetCount() const { return m_entries.GetCount(); }
    const Entry* GetEntry(int32_t row) const;
    int32_t GetHighlighted() const { return m_highlighted; }
    const uint8_t* GetKey() const { return m_key; }
    GMImage* GetFont() const { return m_font; }

private:
    CGameList m_entries;  // owns its Entry records, highest score first
    int32_t m_highlighted = -1;
    uint8_t m_key[kKeyLength + 1];
    GMImage* m_font = nullptr;
};

// Reads the entries of a highscore file without a font (for tools); false when
// the file cannot be opened. Stops at the first entry the file cuts short.
// `whole` tells whether the file read back whole: a count of 0 to 10 in a
// count block of 4 bytes, then that many complete entries.
bool ReadHighscoreFile(const char* fileName, const uint8_t* key, int32_t keyLength,
                       void (*add)(void* context, const char* name, int32_t score), void* context,
                       int32_t* declaredCount = nullptr, bool* whole = nullptr);
// True when the file at path reads back whole with the table's key.
bool IsWholeHighscoreFile(const char* path);
