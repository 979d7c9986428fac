#include "player/GMProfile.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <strings.h>

namespace {

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

GMBonusObj* GMProfile::FindMatching(int32_t kind, float durationMs, float value) const
{
    for (int32_t i = 0; i <= m_bonuses.GetLastIndex(); ++i) {
        auto* b = static_cast<GMBonusObj*>(m_bonuses.GetAt(i));
        if (b && b->GetBonusKind() == kind && b->GetDuration() == durationMs && b->GetValue() == value)
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

int32_t GMProfile::LoadProfile(const char* pathIn)
{
    if (!pathIn) {
        ClearProfile();
        return kProfileNoFile;
    }
    // The path may be our own file name, which ClearProfile frees.
    std::string pathCopy(pathIn);
    const char* path = pathCopy.c_str();
    FileKey key(path);
    ClearProfile();
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return kProfileNoFile;

    char tag[kValueBufferSize];
    char text[kValueBufferSize];
    for (;;) {
        if (ReadQuoted(f, '"', '"', tag, &key) < 0)
            break;
        bool ok = true;
        if (!strcasecmp(tag, "BON")) {
            int32_t kind = 0, price = 0, count = 0;
            float duration = 0.0f, value = 0.0f;
            ok = ReadTokenInt(f, &key, &kind) && ReadTokenInt(f, &key, &price) &&
                 ReadTokenFloat(f, &key, &duration) && ReadTokenFloat(f, &key, &value) &&
                 ReadTokenInt(f, &key, &count);
            if (ok)
                AddBonus(kind, duration * 1000.0f, price, value, count);
        } else if (!strcasecmp(tag, "LVL")) {
            ok = ReadQuoted(f, '"', '"', text, &key) >= 0;
            if (ok)
                m_levels.AddString(text, true);
        } else if (!strcasecmp(tag, "LLN")) {
            ok = ReadQuoted(f, '"', '"', text, &key) >= 0;
            if (ok)
                SetCurrentLevel(text);
        } else if (!strcasecmp(tag, "NAM")) {
            ok = ReadQuoted(f, '"', '"', text, &key) >= 0;
            if (ok)
                SetDisplayName(text);
        } else {
            int32_t* target = nullptr;
            if (!strcasecmp(tag, "LLI"))
                target = &m_currentLevelIndex;
            else if (!strcasecmp(tag, "SCO"))
                target = &m_score;
            else if (!strcasecmp(tag, "STA"))
                target = &m_ratingPoints;
            else if (!strcasecmp(tag, "MON"))
                target = &m_money;
            if (target) {
                int32_t v = 0;
                ok = ReadTokenInt(f, &key, &v);
                if (ok)
                    *target = v < 0 ? 0 : v;
            }
        }
        if (!ok)
            break;
    }
    std::fclose(f);
    SetFileName(path);
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
            AppendLine(text, "\"LVL\" \"%s\"\n", level);
    }
    if (m_currentLevel)
        AppendLine(text, "\"LLN\" \"%s\"\n", m_currentLevel);
    AppendLine(text, "\"LLI\" %i\n", m_currentLevelIndex);
    AppendLine(text, "\"NAM\" \"%s\"\n", m_displayName ? m_displayName : "");
    AppendLine(text, "\"SCO\" %i\n", m_score);
    AppendLine(text, "\"STA\" %i\n", m_ratingPoints);
    AppendLine(text, "\"MON\" %i\n", m_money);

    FileKey key(path);
    bool written = WriteFileAtomically(path, "wb", [&](FILE* f) {
        return WriteBytes(f, text.data(), static_cast<int>(text.size()), &key) == static_cast<int>(text.size());
    });
    if (!written)
        return kProfileNoFile;
    // The path may be our own file name; copy before replacing.
    std::string keep(path);
    SetFileName(keep.c_str());
    return kProfileOk;
}
