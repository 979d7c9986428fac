#pragma once
#include <cstdint>
#include <string>

class DisplayDevice;
class GMImageManager;
class GMProfile;
struct LevelLoadNotes;

// What the shell does about a day whose level file cannot be played: the
// player is told which file it is and why, nothing of the profile is given up,
// and Continue is offered the last day of the profile that still loads.
class DamagedDayGuard {
public:
    // The notice for the player; `fallback` (may be empty) is the day offered instead.
    static std::string Notice(const std::string& fileName, const std::string& why, const std::string& fallback);
    // Why the file cannot be played, in a few words (from the loader's notes).
    static std::string Reason(int32_t loadResult, const LevelLoadNotes& notes);

    // The last day of the profile's list before `broken` (from the end when it
    // is not listed) that loads; empty when none does.
    static std::string FindLastLoadingDay(const GMProfile& profile, const std::string& broken,
                                          GMImageManager* images, DisplayDevice* device);

    // A load that failed: the file and why, for TellPlayer.
    void Failed(const std::string& fileName, int32_t loadResult, const LevelLoadNotes& notes);
    // Tells the player about the last failed day and offers the last day of
    // the profile that loads (remembered for OfferFor).
    void TellPlayer(const GMProfile& profile, GMImageManager* images, DisplayDevice* device);

    // Remembers the offer: Continue on this profile's `broken` day goes on
    // from `fallback` while `broken` still does not load.
    void Offer(const GMProfile& profile, const std::string& broken, const std::string& fallback);
    // The offered day for this profile's current level, or empty.
    std::string OfferFor(const GMProfile& profile) const;
    // The offer was taken, or the player went elsewhere.
    void Forget() { m_profile.clear(), m_broken.clear(), m_fallback.clear(); }

private:
    std::string m_failedFile;
    std::string m_reason;
    std::string m_profile;
    std::string m_broken;
    std::string m_fallback;
};
