// A player's profile, scrambled with its own name as the game stores it.
#include "FuzzSupport.h"

#include "player/GMProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterWorkDir();
    fuzz::WriteScrambled("FUZZ.prf", data, size);
    GMProfile profile;
    profile.LoadProfile("FUZZ.prf");
    for (int32_t i = 0; i < profile.GetLevelCount(); ++i)
        profile.FindLevel(profile.GetLevel(i));
    profile.IsWhole();
    return 0;
}
