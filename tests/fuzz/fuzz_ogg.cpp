// A sound file loaded as the game loads its Ogg Vorbis sounds, then played
// and mixed for a while.
#include "FuzzSupport.h"

#include "platform/AudioDevice.h"
#include "sound/GMSoundSystem.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterWorkDir();
    static GMSoundSystem* sound = nullptr;
    if (!sound) {
        sound = new GMSoundSystem;
        sound->UseDevice(AudioDevice::OpenManual(44100, 2));
    }
    fuzz::WriteFile("f.ogg", data, size);
    if (SoundBuffer* handle = sound->LoadSound("f.ogg", kGroupEffects, false, 0, false)) {
        sound->Play(handle, false, true);
        std::vector<int16_t> out(4096 * 2);
        sound->GetDevice()->Render(out.data(), 4096);
        sound->UpdateSounds(100.0f);
    }
    sound->UnloadGroup(kGroupEffects);
    return 0;
}
