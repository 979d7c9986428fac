#pragma once
#include "sound/GMSoundSystem.h"
#include "sound/OggEncoder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A sound system over a manual 44.1 kHz stereo device in a fresh data
// directory with an "sfx" folder. Time moves only when the test says so:
// Advance mixes that much audio and then runs one frame of UpdateSounds.
class SoundTest : public ::testing::Test {
protected:
    static constexpr int kRate = 44100;

    SoundTest() : m_chdir(m_dir.Path())
    {
        std::filesystem::create_directory(m_dir.File("sfx"));
    }

    void SetUp() override
    {
        ASSERT_EQ(m_sound.UseDevice(AudioDevice::OpenManual(kRate, 2)), 0);
        m_sound.SetFloor(-5000);
        m_sound.SetErrorLog("Error.log");  // inside the test's own directory
    }

    // Writes "sfx/<name>" with a tone of the given length (ms) and channels.
    void MakeSound(const std::string& name, int millis, int channels = 1, int rate = kRate, double peak = 8000)
    {
        const int frames = rate * millis / 1000;
        ASSERT_TRUE(WriteOggFile(m_dir.File("sfx/" + name), MakeTone(frames, channels, rate, 440.0, peak),
                                 channels, rate));
    }

    void WriteFile(const std::string& name, const std::string& text) { m_dir.Write(name, text); }

    // Mixes the audio of `millis` and returns the peak sample of it.
    int Mix(int millis)
    {
        const int frames = kRate * millis / 1000;
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        m_sound.GetDevice()->Render(out.data(), frames);
        int peak = 0;
        for (int16_t s : out)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        return peak;
    }

    // One game frame: the audio of the frame plays, then the sound system updates.
    void Advance(int millis)
    {
        Mix(millis);
        m_sound.UpdateSounds(static_cast<float>(millis));
    }

    SoundBuffer* Load(const char* name, uint8_t group = kGroupEffects, bool silent = false)
    {
        return m_sound.LoadSound(name, group, false, kBufferVolume, silent);
    }

    TempDir m_dir;
    ScopedChdir m_chdir;
    GMSoundSystem m_sound;
};
