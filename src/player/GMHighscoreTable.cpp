#include "player/GMHighscoreTable.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"
#include "gfx/GMImage.h"
#include "player/GMPlayerStore.h"

#include <cstdio>
#include <new>

namespace {

// Our own ten players, weakest first.
const char* const kDefaultNames[10] = {
    "PIPPA", "OSWIN", "MARGERY", "TOBIAS", "HENRIETTA", "CORMAC", "WILLA", "BARNABY", "ELSPETH", "RUFUS",
};

constexpr uint32_t kRowColour = 0xFFFFFFFF;
constexpr uint32_t kHighlightColour = 0xFFFFFC00;

int32_t LittleEndian(const uint8_t* b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

void StoreLittleEndian(int32_t value, uint8_t* b)
{
    auto v = static_cast<uint32_t>(value);
    b[0] = static_cast<uint8_t>(v);
    b[1] = static_cast<uint8_t>(v >> 8);
    b[2] = static_cast<uint8_t>(v >> 16);
    b[3] = static_cast<uint8_t>(v >> 24);
}

// One whole block, or false when the file ends inside it. A block is whole
// when the file still holds every byte its length announces.
bool ReadWholeBlock(FILE* f, FileKey* key, void* buffer, int32_t bufferSize, int32_t* stored,
                    uint32_t* length = nullptr)
{
    long start = std::ftell(f);
    *stored = ReadBlock(f, key, buffer, bufferSize);
    long end = std::ftell(f);
    if (length)
        *length = start >= 0 && end >= start + 4 ? static_cast<uint32_t>(end - start - 4) : 0;
    if (std::ferror(f) || start < 0 || end < start + 4)
        return false;
    // ReadBlock stops at the end of the file; compare with the announced length.
    std::fseek(f, start, SEEK_SET);
    uint8_t lenBytes[4];
    bool whole = std::fread(lenBytes, 1, 4, f) == 4 &&
                 (static_cast<uint32_t>(lenBytes[0]) | (static_cast<uint32_t>(lenBytes[1]) << 8) |
                  (static_cast<uint32_t>(lenBytes[2]) << 16) | (static_cast<uint32_t>(lenBytes[3]) << 24)) ==
                     static_cast<uint32_t>(end - start - 4);
    std::fseek(f, end, SEEK_SET);
    return whole;
}

}  // namespace

GMHighscoreTable::GMHighscoreTable()
{
    // The key is spelled out byte by byte: "Brimvale:ten-best-totals!#28".
    const char* text = "Brimvale:ten-best-totals!#28";
    for (int32_t i = 0; i < kKeyLength; ++i)
        m_key[i] = static_cast<uint8_t>(text[i]);
    m_key[kKeyLength] = 0;
}

const GMHighscoreTable::Entry* GMHighscoreTable::GetEntry(int32_t row) const
{
    if (row < 0)
        return nullptr;
    return static_cast<const Entry*>(CGameList::GetAt(m_entries.FindIndex(row)));
}

void GMHighscoreTable::ClearHighscores()
{
    while (m_entries.GetCount() > 0)
        delete static_cast<Entry*>(m_entries.RemoveHead());
    SafeRelease(m_font);
    m_highlighted = -1;
}

void GMHighscoreTable::InsertDefaults()
{
    for (int32_t i = 0; i < 10; ++i)
        InsertHighscore(kDefaultNames[i], (i + 1) * 1000);
    m_highlighted = -1;
}

bool ReadHighscoreFile(const char* fileName, const uint8_t* keyBytes, int32_t keyLength,
                       void (*add)(void* context, const char* name, int32_t score), void* context,
                       int32_t* declaredCount, bool* whole)
{
    if (whole)
        *whole = false;
    FILE* f = OpenFile(fileName, "rb");
    if (!f)
        return false;
    FileKey key;
    key.SetRaw(keyBytes, keyLength);
    uint8_t word[4] = {};
    int32_t stored = 0;
    int32_t count = 0;
    uint32_t length = 0;
    bool ok = ReadWholeBlock(f, &key, word, 4, &stored, &length) && length == 4;
    if (stored == 4)
        count = LittleEndian(word);
    if (declaredCount)
        *declaredCount = count;
    ok = ok && count >= 0 && count <= GMHighscoreTable::kShownEntries;
    char name[kValueBufferSize];
    int32_t read = 0;
    for (; read < count; ++read) {
        // An entry the file cuts short is dropped; a name too long for the
        // buffer is cut at its end.
        if (!ReadWholeBlock(f, &key, name, kValueBufferSize - 1, &stored))
            break;
        name[stored] = 0;
        if (!ReadWholeBlock(f, &key, word, 4, &stored, &length) || length != 4)
            break;
        add(context, name, LittleEndian(word));
    }
    std::fclose(f);
    if (whole)
        *whole = ok && read == count;
    return true;
}

bool IsWholeHighscoreFile(const char* path)
{
    GMHighscoreTable table;  // for its key
    bool whole = false;
    return ReadHighscoreFile(path, table.GetKey(), GMHighscoreTable::kKeyLength,
                             [](void*, const char*, int32_t) {}, nullptr, nullptr, &whole) &&
           whole;
}

int32_t GMHighscoreTable::LoadHighscores(const char* fileName, GMImageManager* manager, DisplayDevice* device)
{
    if (!fileName || !*fileName)
        return 0;
    ClearHighscores();
    bool whole = false;
    bool read = ReadHighscoreFile(
        fileName, m_key, kKeyLength,
        [](void* context, const char* name, int32_t score) {
            auto* list = static_cast<CGameList*>(context);
            auto* entry = new (std::nothrow) Entry{name, score};
            if (entry && !list->AddTail(entry))
                delete entry;
        },
        &m_entries, nullptr, &whole);
    if (read && !whole) {
        // A damaged table is not shown in part: it is kept aside and the
        // default table takes its place.
        while (m_entries.GetCount() > 0)
            delete static_cast<Entry*>(m_entries.RemoveHead());
        std::string keptAs;
        bool setAside = GMPlayerStore::SetAsideDamaged(fileName, &keptAs);
        GMPlayerStore::ReportDamaged("The highscore table", setAside ? keptAs.c_str() : nullptr,
                                     "The default table is shown instead.");
    }
    if (!read || !whole)
        InsertDefaults();

    auto* font = new (std::nothrow) GMImage;
    if (!font)
        return 3;
    if (font->LoadTemplate("Font16.img", manager, device) != 0)
        font->Release();
    else
        m_font = font;
    return 0;
}

int32_t GMHighscoreTable::SaveHighscores(const char* fileName) const
{
    if (!fileName || !*fileName)
        return 0;
    int32_t n = m_entries.GetCount() < kShownEntries ? m_entries.GetCount() : kShownEntries;
    FileKey key;
    key.SetRaw(m_key, kKeyLength);
    bool written = GMPlayerStore::ReplaceFile(fileName, "wb", &IsWholeHighscoreFile, [&](FILE* f) {
        uint8_t word[4];
        StoreLittleEndian(n, word);
        if (WriteBlock(f, &key, word, 4) != 4)
            return false;
        for (int32_t row = 0; row < n; ++row) {
            const Entry* e = GetEntry(row);
            auto length = static_cast<int32_t>(e->name.size());
            StoreLittleEndian(e->score, word);
            if (WriteBlock(f, &key, e->name.data(), length) != length || WriteBlock(f, &key, word, 4) != 4)
                return false;
        }
        return true;
    });
    return written ? 0 : 2;
}

int32_t GMHighscoreTable::InsertHighscore(const char* name, int32_t score)
{
    auto* entry = new (std::nothrow) Entry{(name && *name) ? name : "Player", score};
    if (!entry)
        return -1;
    int32_t passed = 0;
    GamePosition pos = m_entries.GetTailPosition();
    while (pos && static_cast<Entry*>(CGameList::GetAt(pos))->score <= score) {
        CGameList::GetPrev(pos);
        ++passed;
    }
    GamePosition added = pos ? m_entries.InsertAfter(pos, entry) : m_entries.AddHead(entry);
    if (!added) {
        delete entry;
        return -1;
    }
    m_highlighted = m_entries.GetCount() - passed - 1;
    return m_highlighted;
}

int32_t GMHighscoreTable::DrawHighscores(DisplayDevice* device)
{
    if (!m_font)
        return 1;
    float y = 150.0f;
    float step = m_font->GetTemplateHeight() + 10.0f;
    char number[16];
    GamePosition pos = m_entries.GetHeadPosition();
    for (int32_t row = 0; row < kShownEntries && pos; ++row) {
        const auto* e = static_cast<const Entry*>(CGameList::GetNext(pos));
        uint32_t colour = row == m_highlighted ? kHighlightColour : kRowColour;
        std::snprintf(number, sizeof number, "%d", row + 1);
        m_font->DrawText(75.0f, y, 0.0f, 1.0f, colour, number, device);
        m_font->DrawText(115.0f, y, 0.0f, 1.0f, colour, e->name.c_str(), device);
        std::snprintf(number, sizeof number, "%d", e->score);
        m_font->DrawText(355.0f, y, 0.0f, 1.0f, colour, number, device);
        y += step;
    }
    return 0;
}
