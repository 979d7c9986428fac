#include "player/GMProfile.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"
#include "player/GMPlayerStore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <strings.h>

namespace {

int32_t SaturatingCount(int32_t a, int32_t b)
{
    const int64_t sum = static_cast<int64_t>(a) + b;
    return sum > INT32_MAX ? INT32_MAX : static_cast<int32_t>(sum);
}

char* CopyText(const char* text)
{
    if (!text)
        return nullptr;
    size_t len = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(len + 1));
    if (copy)
        std::memcpy(copy, text, len + 1);
    return copy;
}

void ReplaceText(char*& field, const char* text)
{
    char* copy = CopyText(text);
    std::free(field);
    field = copy;
}

bool SameName(const char* a, const char* b)
{
    return a && b && strcasecmp(a, b) == 0;
}

// Appends one formatted line; the lines are built whole, so a long name is
// never cut off in the file.
template <class... Args>
void AppendLine(std::string& out, const char* format, Args... args)
{
    int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0)
        return;
    std::string line(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(line.data(), line.size(), format, args...);
    line.resize(static_cast<size_t>(n));
    out += line;
}

}  // namespace

GMProfile::GMProfile()
{
    m_levels.Reserve(10);
    m_bonuses.Reserve(10);
}

GMProfile::~GMProfile()
{
    ClearProfile();
}

void GMProfile::RemoveBonuses()
{
    for (int32_t i = m_bonuses.GetLastIndex(); i >= 0; --i)
        if (auto* bonus = static_cast<GMBonusObj*>(m_bonuses.RemoveAt(i)))
            bonus->Release();
}

void GMProfile::ResetProgress()
{
    RemoveBonuses();
    SetCurrentLevel(nullptr);
    m_currentLevelIndex = 0;
    m_score = 0;
    m_ratingPoints = 0;
}

void GMProfile::ClearProfile()
{
    ResetProgress();
    m_levels.RemoveAll();
    ReplaceText(m_fileName, nullptr);
    ReplaceText(m_displayName, nullptr);
    ReplaceText(m_currentLevel, nullptr);
}

void GMProfile::SetDisplayName(const char* name)
{
    ReplaceText(m_displayName, name);
}

void GMProfile::SetCurrentLevel(const char* name)
{
    ReplaceText(m_currentLevel, (name && *name) ? name : nullptr);
}

void GMProfile::SetFileName(const char* path)
{
    ReplaceText(m_fileName, path);
}

int32_t GMProfile::FindLevel(const char* name) const
{
    if (!name)
        return -1;
    return m_levels.FindString(name, true);
}

void GMProfile::AddLevel(const char* name)
{
    if (!name || FindLevel(name) >= 0)
        return;
    m_levels.AddString(name, false);
}

void GMProfile::RemoveLevel(const char* name)
{
    int32_t index = FindLevel(name);
    if (index < 0)
        return;
    // The current level may be the very name passed in; decide before freeing it.
    bool wasCurrent = SameName(m_currentLevel, name);
    m_levels.RemoveAndShift(index);
    if (index <= m_currentLevelIndex)
        SetCurrentLevelIndex(m_currentLevelIndex - 1);
    if (wasCurrent)
        SetCurrentLevel(GetLevel(m_currentLevelIndex));
}

int32_t GMProfile::AddBonus(int32_t kind, float durationMs, int32_t price, float value, int32_t count)
{
    auto* bonus = new (std::nothrow) GMBonusObj;
    if (!bonus)
        return -1;
    bonus->SetBonusKind(kind);
    bonus->SetDuration(durationMs);
    bonus->SetPrice(price);
    bonus->SetValue(value);
    bonus->SetCount(count);
    int32_t index = m_bonuses.Add(bonus, true);
    if (index < 0)
        bonus->Release();
    return index;
}

const GMBonusObj* GMProfile::GetBonus(int32_t index) const
{
    return static_cast<const GMBonusObj*>(m_bonuses.GetAt(index));
}

int32_t GMProfile::GetBonusCount(int32_t kind) const
{
    for (int32_t i = 0; i <= m_bonuses.GetLastIndex(); ++i) {
        const GMBonusObj* b = GetBonus(i);
        if (b && b->GetBonusKind() == kind)
            return b->GetCount();
    }
    return 0;
}

namespace {

// A number as the profile writes it ("%f": six decimals).
std::string AsWritten(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%f", v);
    return buf;
}

}  // namespace

bool GMProfile::SameBonus(int32_t kindA, float durationMsA, float valueA, int32_t kindB, float durationMsB,
                          float valueB)
{
    // Compared as written, so a level's value with more digits than the file
    // keeps still finds the units bought with it the day before.
    return kindA == kindB && AsWritten(durationMsA / 1000.0f) == AsWritten(durationMsB / 1000.0f) &&
           AsWritten(valueA) == AsWritten(valueB);
}

GMBonusObj* GMProfile::FindMatching(int32_t kind, float durationMs, float value) const
{
    for (int32_t i = 0; i <= m_bonuses.GetLastIndex(); ++i) {
        auto* b = static_cast<GMBonusObj*>(m_bonuses.GetAt(i));
        if (b && SameBonus(b->GetBonusKind(), b->GetDuration(), b->GetValue(), kind, durationMs, value))
            return b;
    }
    return nullptr;
}

int32_t GMProfile::GetMatchingBonusCount(int32_t kind, float durationMs, float value) const
{
    const GMBonusObj* b = FindMatching(kind, durationMs, value);
    return b ? b->GetCount() : 0;
}

int32_t GMProfile::GetMatchingBonusCount(const GMBonusObj& levelBonus) const
{
    return GetMatchingBonusCount(levelBonus.GetBonusKind(), levelBonus.GetDuration(), levelBonus.GetValue());
}

void GMProfile::SetMatchingBonusCount(int32_t count, const GMBonusObj& levelBonus)
{
    SetMatchingBonusCount(count, levelBonus.GetBonusKind(), levelBonus.GetDuration(), levelBonus.GetPrice(),
                          levelBonus.GetValue());
}

void GMProfile::SetMatchingBonusCount(int32_t count, int32_t kind, float durationMs, int32_t price, float value)
{
    if (GMBonusObj* b = FindMatching(kind, durationMs, value)) {
        b->SetCount(count);
        return;
    }
    AddBonus(kind, durationMs, price, value, count);
}

namespace {

// A profile is a few hundred bytes; a file far beyond this is not one of ours.
constexpr size_t kMaxProfileBytes = 1 << 20;

// The entries the writer always writes; a file without one of them was cut.
enum : unsigned { kSeenLLI = 1, kSeenNAM = 2, kSeenSCO = 4, kSeenSTA = 8, kSeenMON = 16, kSeenAll = 31 };

// The whole file, descrambled; false when it cannot be opened. `complete` is
// false when the file is larger than a profile can be.
bool ReadPlainFile(const char* path, std::string* plain, bool* complete)
{
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return false;
    // A copy kept aside ("Mia.prf.damaged", "Mia.prf.2.damaged") keeps the key
    // of the name it was written under.
    std::string keyName(path);
    const size_t mark = keyName.rfind(".prf.");
    if (keyName.size() > 8 && keyName.compare(keyName.size() - 8, 8, ".damaged") == 0 && mark != std::string::npos)
        keyName.resize(mark + 4);
    FileKey key(keyName.c_str());
    char chunk[4096];
    int got = 0;
    *complete = true;
    while ((got = ReadBytes(chunk, sizeof chunk, f, &key)) > 0) {
        if (plain->size() + static_cast<size_t>(got) > kMaxProfileBytes) {
            *complete = false;
            break;
        }
        plain->append(chunk, static_cast<size_t>(got));
    }
    if (std::ferror(f))
        *complete = false;
    std::fclose(f);
    return true;
}

}  // namespace

std::string EscapeQuoted(const char* text)
{
    std::string out;
    bool afterEscape = false;
    for (const char* p = text ? text : ""; *p; ++p) {
        auto c = static_cast<unsigned char>(*p);
        bool digit = c >= '0' && c <= '9';
        if (c == '"' || c == '#' || c < 32 || (afterEscape && digit)) {
            out += '#';
            out += std::to_string(c);
            afterEscape = true;
        } else {
            out += static_cast<char>(c);
            afterEscape = false;
        }
    }
    return out;
}

int32_t GMProfile::LoadProfile(const char* pathIn)
{
    if (!pathIn) {
        ClearProfile();
        m_whole = false;
        return kProfileNoFile;
    }
    // The path may be our own file name, which ClearProfile frees.
    std::string pathCopy(pathIn);
    const char* path = pathCopy.c_str();
    ClearProfile();
    m_money = 0;  // never another player's money when the file has none
    m_whole = false;
    std::string plain;
    bool complete = true;
    if (!ReadPlainFile(path, &plain, &complete))
        return kProfileNoFile;
    SetFileName(path);
    // Read from memory, so that the end of a cut file can be told from the
    // clean end after the last entry.
    FILE* f = plain.empty() ? nullptr : fmemopen(plain.data(), plain.size(), "rb");
    if (!f)
        return kProfileOk;

    unsigned seen = 0;
    bool whole = complete;
    char tag[kValueBufferSize];
    char text[kValueBufferSize];
    // A number is whole only when something follows it: the writer ends every
    // line with a line feed, so a number that meets the end of the file was cut.
    auto number = [&](int32_t* out) {
        return ReadTokenInt(f, nullptr, out) && !std::feof(f);
    };
    auto real = [&](float* out) {
        return ReadTokenFloat(f, nullptr, out) && !std::feof(f);
    };
    for (;;) {
        long before = std::ftell(f);
        if (ReadQuoted(f, '"', '"', tag, nullptr) < 0) {
            // The clean end has no opening quote left; otherwise a tag was cut.
            if (before >= 0 && plain.find('"', static_cast<size_t>(before)) != std::string::npos)
                whole = false;
            break;
        }
        bool ok = true;
        if (!strcasecmp(tag, "BON")) {
            int32_t kind = 0, price = 0, count = 0;
            float duration = 0.0f, value = 0.0f;
            ok = number(&kind) && number(&price) && real(&duration) && real(&value) && number(&count);
            if (ok) {
                // Two records the file cannot tell apart are one: their units add up.
                if (GMBonusObj* same = FindMatching(kind, duration * 1000.0f, value))
                    same->SetCount(SaturatingCount(same->GetCount(), count));
                else
                    AddBonus(kind, duration * 1000.0f, price, value, count);
            }
        } else if (!strcasecmp(tag, "LVL")) {
            ok = ReadQuoted(f, '"', '"', text, nullptr) >= 0;
            if (ok)
                m_levels.AddString(text, true);
        } else if (!strcasecmp(tag, "LLN")) {
            ok = ReadQuoted(f, '"', '"', text, nullptr) >= 0;
            if (ok)
                SetCurrentLevel(text);
        } else if (!strcasecmp(tag, "NAM")) {
            ok = ReadQuoted(f, '"', '"', text, nullptr) >= 0;
            if (ok) {
                SetDisplayName(text);
                seen |= kSeenNAM;
            }
        } else {
            int32_t* target = nullptr;
            unsigned bit = 0;
            if (!strcasecmp(tag, "LLI")) {
                target = &m_currentLevelIndex;
                bit = kSeenLLI;
            } else if (!strcasecmp(tag, "SCO")) {
                target = &m_score;
                bit = kSeenSCO;
            } else if (!strcasecmp(tag, "STA")) {
                target = &m_ratingPoints;
                bit = kSeenSTA;
            } else if (!strcasecmp(tag, "MON")) {
                target = &m_money;
                bit = kSeenMON;
            }
            if (target) {
                int32_t v = 0;
                ok = number(&v);
                if (ok) {
                    *target = v < 0 ? 0 : v;
                    seen |= bit;
                }
            }
        }
        if (!ok) {
            whole = false;
            break;
        }
    }
    std::fclose(f);
    m_whole = whole && seen == kSeenAll;
    m_scoreRead = (seen & kSeenSCO) != 0;
    return kProfileOk;
}

bool GMProfile::IsWholeFile(const char* path)
{
    GMProfile p;
    return p.LoadProfile(path) == kProfileOk && p.IsWhole();
}

int32_t GMProfile::OpenProfile(const char* pathIn)
{
    int32_t r = LoadProfile(pathIn);
    if (r != kProfileOk || m_whole)
        return r;
    std::string path(pathIn);
    bool named = m_displayName && *m_displayName;
    std::string keptAs;
    bool setAside = GMPlayerStore::SetAsideDamaged(path.c_str(), &keptAs);
    std::string what = named ? std::string("The profile \"") + m_displayName + "\""
                             : std::string("The profile file \"") + BaseName(path.c_str()) + "\"";
    // The name is written after the days and bonuses: a file cut there still
    // holds them, and the player is told so rather than that all was lost.
    std::string outcome = "What could be read was loaded.";
    if (!named) {
        const int32_t days = GetLevelCount(), bonuses = GetBonusRecordCount();
        const std::string read = std::to_string(days) + (days == 1 ? " day" : " days") +
                                 (m_scoreRead ? ", " : " and ") + std::to_string(bonuses) +
                                 (bonuses == 1 ? " bonus" : " bonuses") + (m_scoreRead ? " and the score" : "");
        outcome = days > 0 || bonuses > 0 || m_scoreRead
                      ? read + " could be read, but not the player's name: the profile cannot be used, and the "
                               "kept file holds them as they were."
                      : "Nothing in it could be read.";
    }
    GMPlayerStore::ReportDamaged(what.c_str(), setAside ? keptAs.c_str() : nullptr, outcome.c_str());
    if (!named) {
        ClearProfile();
        return kProfileNoFile;
    }
    // What was read becomes the profile under its own name again; where the
    // damaged file could not be moved, the next save refuses to replace it.
    if (setAside)
        SaveProfile(path.c_str());
    return kProfileOk;
}

int32_t GMProfile::SaveProfile(const char* path)
{
    if (!path || !*path)
        return kProfileNoFile;
    std::string text;
    for (int32_t i = 0; i <= m_bonuses.GetLastIndex(); ++i) {
        if (const GMBonusObj* b = GetBonus(i))
            AppendLine(text, "\"BON\" %i %i %f %f %i\n", b->GetBonusKind(), b->GetPrice(),
                       static_cast<double>(b->GetDuration() / 1000.0f), static_cast<double>(b->GetValue()),
                       b->GetCount());
    }
    for (int32_t i = 0; i < GetLevelCount(); ++i) {
        if (const char* level = GetLevel(i))
            AppendLine(text, "\"LVL\" \"%s\"\n", EscapeQuoted(level).c_str());
    }
    if (m_currentLevel)
        AppendLine(text, "\"LLN\" \"%s\"\n", EscapeQuoted(m_currentLevel).c_str());
    AppendLine(text, "\"LLI\" %i\n", m_currentLevelIndex);
    AppendLine(text, "\"NAM\" \"%s\"\n", EscapeQuoted(m_displayName).c_str());
    AppendLine(text, "\"SCO\" %i\n", m_score);
    AppendLine(text, "\"STA\" %i\n", m_ratingPoints);
    AppendLine(text, "\"MON\" %i\n", m_money);

    FileKey key(path);
    bool written = GMPlayerStore::ReplaceFile(path, "wb", &GMProfile::IsWholeFile, [&](FILE* f) {
        return WriteBytes(f, text.data(), static_cast<int>(text.size()), &key) == static_cast<int>(text.size());
    });
    if (!written)
        return kProfileNoFile;
    // The path may be our own file name; copy before replacing.
    std::string keep(path);
    SetFileName(keep.c_str());
    return kProfileOk;
}
