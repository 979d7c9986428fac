#include "app/DamagedDayGuard.h"

#include "core/TaggedFile.h"
#include "game/GMLevelRun.h"
#include "player/GMPlayerStore.h"
#include "player/GMProfile.h"

#include <strings.h>

namespace {

bool SameName(const std::string& a, const char* b)
{
    return b && strcasecmp(a.c_str(), b) == 0;
}

std::string Key(const GMProfile& profile)
{
    return profile.GetFileName() ? profile.GetFileName() : "";
}

}  // namespace

std::string DamagedDayGuard::Notice(const std::string& fileName, const std::string& why, const std::string& fallback)
{
    std::string text = "The day \"" + fileName + "\" cannot be played: " + why + ". Your progress is kept";
    if (!fallback.empty())
        return text + ". Continue goes on from \"" + fallback + "\", the last day that loads, until it is repaired.";
    return text + ": Continue plays it once it is repaired.";
}

std::string DamagedDayGuard::Reason(int32_t loadResult, const LevelLoadNotes& notes)
{
    if (loadResult == kLoadNoFile)
        return "the file is missing";
    // The loader's reason names the file first: keep only what follows.
    std::string why = notes.failure;
    const size_t colon = why.find(": ");
    if (colon != std::string::npos)
        why = why.substr(colon + 2);
    return why.empty() ? "the file is damaged" : "it is damaged (" + why + ")";
}

std::string DamagedDayGuard::FindLastLoadingDay(const GMProfile& profile, const std::string& broken,
                                                GMImageManager* images, DisplayDevice* device)
{
    int32_t start = profile.GetLevelCount() - 1;
    for (int32_t i = 0; i < profile.GetLevelCount(); ++i) {
        if (SameName(broken, profile.GetLevel(i)))
            start = i - 1;
    }
    // A day of our own, without profile or sounds: trying it changes nothing.
    GMLevelRun trial;
    for (int32_t i = start; i >= 0; --i) {
        const char* day = profile.GetLevel(i);
        if (!day || !*day || SameName(broken, day))
            continue;
        if (trial.LoadLevel(day, images, device, nullptr, nullptr) == kLoadOk)
            return day;
    }
    return "";
}

void DamagedDayGuard::Failed(const std::string& fileName, int32_t loadResult, const LevelLoadNotes& notes)
{
    m_failedFile = fileName;
    m_reason = Reason(loadResult, notes);
}

void DamagedDayGuard::TellPlayer(const GMProfile& profile, GMImageManager* images, DisplayDevice* device)
{
    if (m_failedFile.empty())
        return;
    const std::string fallback = FindLastLoadingDay(profile, m_failedFile, images, device);
    Offer(profile, m_failedFile, fallback);
    GMPlayerStore::ReportNotice(Notice(m_failedFile, m_reason, fallback));
}

void DamagedDayGuard::Offer(const GMProfile& profile, const std::string& broken, const std::string& fallback)
{
    m_profile = Key(profile);
    m_broken = broken;
    m_fallback = fallback;
}

std::string DamagedDayGuard::OfferFor(const GMProfile& profile) const
{
    if (m_fallback.empty() || Key(profile) != m_profile || !SameName(m_broken, profile.GetCurrentLevel()))
        return "";
    return m_fallback;
}
