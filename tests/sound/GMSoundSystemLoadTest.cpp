#include "SoundFixture.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

double Rms(const SoundBuffer* b)
{
    double sum = 0;
    const size_t n = static_cast<size_t>(b->Frames()) * static_cast<size_t>(b->Channels());
    for (size_t i = 0; i < n; ++i)
        sum += static_cast<double>(b->Samples()[i]) * b->Samples()[i];
    return std::sqrt(sum / static_cast<double>(n));
}

}  // namespace

// ---- decoding ----

TEST_F(SoundTest, LoadDecodesTheWholeFileInItsOwnFormat)
{
    MakeSound("Mono.ogg", 200, 1, 22050);
    MakeSound("Stereo.ogg", 300, 2, 48000);
    SoundBuffer* mono = Load("sfx\\Mono.ogg");
    SoundBuffer* stereo = Load("sfx\\Stereo.ogg");
    ASSERT_NE(mono, nullptr);
    ASSERT_NE(stereo, nullptr);
    EXPECT_EQ(mono->Channels(), 1);
    EXPECT_EQ(mono->Rate(), 22050);
    EXPECT_EQ(mono->Frames(), 4410u);
    EXPECT_EQ(stereo->Channels(), 2);
    EXPECT_EQ(stereo->Rate(), 48000);
    EXPECT_EQ(stereo->Frames(), 14400u);
    // A sine of peak 8000 has an RMS of 5657; the codec keeps it within a few percent.
    EXPECT_NEAR(Rms(mono), 5657.0, 250.0);
    EXPECT_NEAR(Rms(stereo), 5657.0, 250.0);
    EXPECT_EQ(m_sound.GetSoundCount(), 2);
    EXPECT_FALSE(mono->IsPlaying());
}

TEST_F(SoundTest, MusicIsDecodedAPieceAFrameThePlayingTrackFirst)
{
    // Long enough for several pieces; the same file as an effect is decoded whole.
    MakeSound("Menu.ogg", 1000, 2);
    MakeSound("Day.ogg", 700, 2);
    std::filesystem::copy_file(m_dir.File("sfx/Menu.ogg"), m_dir.File("sfx/Whole.ogg"));
    SoundBuffer* whole = Load("sfx\\Whole.ogg");
    SoundBuffer* menu = Load("sfx\\Menu.ogg", kGroupMusic, true);
    SoundBuffer* day = Load("sfx\\Day.ogg", kGroupMusic, true);
    ASSERT_NE(whole, nullptr);
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(menu->Frames(), whole->Frames()) << "the length is known from the start";
    EXPECT_EQ(day->Frames(), 30870u);
    EXPECT_EQ(m_sound.GetDecodingCount(), 2);
    EXPECT_EQ(Rms(day), 0.0) << "nothing decoded at load";

    // The track that plays is decoded before the one that waits.
    ASSERT_TRUE(m_sound.Play(day, true, true));
    for (int i = 0; i < 20 && m_sound.FindEntry(day)->stream; ++i)
        Advance(10);
    EXPECT_EQ(m_sound.FindEntry(day)->stream, nullptr);
    EXPECT_NE(m_sound.FindEntry(menu)->stream, nullptr);
    EXPECT_NEAR(Rms(day), 5657.0, 250.0);
    EXPECT_EQ(Rms(menu), 0.0);

    for (int i = 0; i < 40 && m_sound.GetDecodingCount() > 0; ++i)
        Advance(10);
    EXPECT_EQ(m_sound.GetDecodingCount(), 0);
    const size_t n = static_cast<size_t>(whole->Frames()) * 2;
    EXPECT_EQ(std::memcmp(menu->Samples(), whole->Samples(), n * sizeof(int16_t)), 0)
        << "decoded in pieces, the same samples as decoded whole";

    // Unloaded half decoded: the decoder goes with it (the sanitizers watch).
    MakeSound("Later.ogg", 1000, 2);
    ASSERT_NE(Load("sfx\\Later.ogg", kGroupMusic, true), nullptr);
    Advance(10);
    EXPECT_EQ(m_sound.GetDecodingCount(), 1);
    m_sound.UnloadGroup(kGroupMusic);
    EXPECT_EQ(m_sound.GetDecodingCount(), 0);
}

TEST_F(SoundTest, LoadFindsFilesByBackslashPathWithoutRegardToCase)
{
    MakeSound("click.ogg", 50);
    SoundBuffer* b = Load("SFX\\Click.OGG");
    ASSERT_NE(b, nullptr);
    GMSoundEntry* e = m_sound.FindEntry(b);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->name, "SFX\\Click.OGG");
    EXPECT_EQ(e->state, 2);
    EXPECT_EQ(e->group, kGroupEffects);
}

TEST_F(SoundTest, LoadingAgainReturnsTheSameSoundUnchanged)
{
    MakeSound("Hover.ogg", 50);
    SoundBuffer* first = m_sound.LoadSound("sfx\\Hover.ogg", kGroupInterface, false, kBufferVolume, false);
    first->SetVolume(-1234);
    SoundBuffer* again = m_sound.LoadSound("SFX\\HOVER.ogg", kGroupEffects, false, kBufferVolume, true);
    EXPECT_EQ(again, first);
    EXPECT_EQ(m_sound.GetSoundCount(), 1);
    EXPECT_EQ(m_sound.FindEntry(first)->group, kGroupInterface);
    EXPECT_EQ(first->GetVolume(), -1234);
}

TEST_F(SoundTest, LoadingWithDuplicateSharesTheSamples)
{
    MakeSound("Motor.ogg", 50);
    SoundBuffer* first = Load("sfx\\Motor.ogg");
    SoundBuffer* dup = m_sound.LoadSound("sfx\\motor.ogg", kGroupInterface, true, kBufferVolume, true);
    ASSERT_NE(dup, nullptr);
    EXPECT_NE(dup, first);
    EXPECT_EQ(dup->Samples(), first->Samples());
    EXPECT_EQ(m_sound.GetSoundCount(), 2);
    EXPECT_EQ(m_sound.FindEntry(dup)->group, kGroupInterface);
    EXPECT_EQ(dup->GetVolume(), -5000) << "start silent sets the copy to the floor";
    EXPECT_EQ(first->GetVolume(), 0);
}

TEST_F(SoundTest, NamesAreKeptToThirtyNineCharactersAndStillFound)
{
    const std::string file = "a_rather_long_sound_file_name_for_testing.ogg";  // 45 characters
    MakeSound(file, 20);
    const std::string name = "sfx\\" + file;
    SoundBuffer* b = Load(name.c_str());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::strlen(m_sound.FindEntry(b)->name), 39u);
    EXPECT_EQ(Load(name.c_str()), b) << "asked again, the same sound";
    EXPECT_EQ(m_sound.GetSoundCount(), 1);
}

TEST_F(SoundTest, MissingOrBrokenFilesLoadNothing)
{
    WriteFile("sfx/Broken.ogg", "OggS but not really a vorbis stream at all");
    WriteFile("sfx/Empty.ogg", "");
    EXPECT_EQ(Load("sfx\\Missing.ogg"), nullptr);
    EXPECT_EQ(Load("sfx\\Broken.ogg"), nullptr);
    EXPECT_EQ(Load("sfx\\Empty.ogg"), nullptr);
    EXPECT_EQ(Load(""), nullptr);
    EXPECT_EQ(Load(nullptr), nullptr);
    EXPECT_EQ(m_sound.GetSoundCount(), 0);
}

TEST_F(SoundTest, EveryFileThatFailsToLoadIsNamedOnceWithItsReason)
{
    WriteFile("sfx/Broken.ogg", "OggS but not really a vorbis stream at all");
    MakeSound("Fine.ogg", 50);
    EXPECT_EQ(Load("sfx\\Missing.ogg"), nullptr);
    EXPECT_EQ(Load("SFX\\MISSING.OGG"), nullptr) << "the same file asked for again";
    EXPECT_EQ(Load("sfx\\Broken.ogg"), nullptr);
    EXPECT_EQ(Load("sfx\\Broken.ogg"), nullptr);
    EXPECT_NE(Load("sfx\\Fine.ogg"), nullptr);
    const std::string log = m_dir.Read("Error.log");
    auto count = [&](const std::string& text) {
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("\n"), 2u) << log;
    EXPECT_EQ(count(" -- Can't load sound \"sfx\\Missing.ogg\": cannot be opened (No such file or directory)\n"), 1u)
        << log;
    EXPECT_EQ(count(" -- Can't load sound \"sfx\\Broken.ogg\": not an Ogg Vorbis file\n"), 1u) << log;
    EXPECT_EQ(count("Fine"), 0u);
}

TEST_F(SoundTest, DamagedFilesFoundByFuzzingAreRefusedAndTheGameGoesOn)
{
    // ogg-1 and ogg-2: a codebook whose code lengths leave the code short or
    // overfull, which made libvorbis divide by zero in its residue decoder;
    // ogg-3: a sample rate of 2^31 - 1.
    for (const char* name : {"ogg-1.bin", "ogg-2.bin", "ogg-3.bin"})
        std::filesystem::copy_file(std::string(BRIMVALE_FUZZ_DIR) + "/" + name, m_dir.File(std::string("sfx/") + name));
    EXPECT_EQ(Load("sfx\\ogg-1.bin"), nullptr);
    EXPECT_EQ(Load("sfx\\ogg-2.bin"), nullptr);
    EXPECT_EQ(Load("sfx\\ogg-3.bin"), nullptr);
    EXPECT_EQ(m_sound.GetSoundCount(), 0);
    const std::string log = m_dir.Read("Error.log");
    EXPECT_NE(log.find("\"sfx\\ogg-1.bin\": damaged Vorbis codebooks"), std::string::npos) << log;
    EXPECT_NE(log.find("\"sfx\\ogg-2.bin\": damaged Vorbis codebooks"), std::string::npos) << log;
    EXPECT_NE(log.find("\"sfx\\ogg-3.bin\": sample rate 2147483647 out of range"), std::string::npos) << log;

    // The same damage in the second of two chained streams.
    ASSERT_TRUE(WriteOggFile(m_dir.File("sfx/First.ogg"), MakeTone(4410, 1, kRate, 440.0, 8000), 1, kRate, 0.5f, 2));
    {
        std::ofstream chained(m_dir.File("sfx/Chained.ogg"), std::ios::binary);
        chained << std::ifstream(m_dir.File("sfx/First.ogg"), std::ios::binary).rdbuf()
                << std::ifstream(m_dir.File("sfx/ogg-2.bin"), std::ios::binary).rdbuf();
    }
    EXPECT_EQ(Load("sfx\\Chained.ogg"), nullptr);
    EXPECT_NE(m_dir.Read("Error.log").find("\"sfx\\Chained.ogg\": damaged Vorbis codebooks in a chained stream"),
              std::string::npos);

    // A refused sound is silent; the others load and play.
    MakeSound("After.ogg", 100);
    SoundBuffer* after = Load("sfx\\After.ogg");
    ASSERT_NE(after, nullptr);
    EXPECT_FALSE(m_sound.PlayOnce(nullptr));
    EXPECT_TRUE(m_sound.PlayOnce(after));
    EXPECT_GT(Mix(50), 1000);
}

TEST_F(SoundTest, SoundsBeyondTheInitialFiftyStillLoad)
{
    MakeSound("a.ogg", 20);
    for (int i = 0; i < 60; ++i)
        ASSERT_NE(m_sound.LoadSound("sfx\\a.ogg", kGroupEffects, true, kBufferVolume, false), nullptr) << i;
    EXPECT_EQ(m_sound.GetSoundCount(), 60);
}

// ---- device ----

TEST(SoundDevice, WithoutADeviceNothingLoadsAndNothingHappens)
{
    TempDir dir;
    ScopedChdir cd(dir.Path());
    ASSERT_TRUE(WriteOggFile(dir.File("a.ogg"), MakeTone(441, 1, 44100, 440, 8000), 1, 44100));
    GMSoundSystem sound;
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_NE(sound.CreateSoundDevice(nullptr), 0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_FALSE(sound.HasDevice());
    EXPECT_EQ(sound.LoadSound("a.ogg", 0, false, kBufferVolume, false), nullptr);
    EXPECT_EQ(sound.GetSoundCount(), 0);
    EXPECT_FALSE(sound.PlayOnce(nullptr));
    EXPECT_EQ(sound.ChangeMusic("a.ogg"), nullptr);
    EXPECT_EQ(sound.FadeSound(nullptr, true, 500, false), -1);
    sound.ApplyGroupVolume(0.5f, 0);
    sound.PauseGroup(true, 0);
    sound.UpdateSounds(10);
    sound.UnloadGroup(0);
    sound.DestroySoundSystem();
    EXPECT_EQ(sound.GetGroupVolume(0), 1.0f) << "no group record without a device";
}

TEST(SoundDevice, DummyDriverGivesADeviceOnce)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    GMSoundSystem sound;
    ASSERT_EQ(sound.CreateSoundDevice(nullptr), 0);
    AudioDevice* first = sound.GetDevice();
    EXPECT_EQ(sound.CreateSoundDevice(nullptr), 0);
    EXPECT_EQ(sound.GetDevice(), first);
    sound.DestroySoundSystem();
    EXPECT_FALSE(sound.HasDevice());
    sound.DestroySoundSystem();  // the second run finds no device
}

// ---- volumes ----

TEST(SoundVolume, FloorIsKeptWithinRange)
{
    GMSoundSystem sound;
    EXPECT_EQ(sound.GetFloor(), -10000);
    sound.SetFloor(-5000);
    EXPECT_EQ(sound.GetFloor(), -5000);
    sound.SetFloor(300);
    EXPECT_EQ(sound.GetFloor(), 0);
    sound.SetFloor(-20000);
    EXPECT_EQ(sound.GetFloor(), -10000);
}

TEST(SoundVolume, FullVolumeArithmetic)
{
    GMSoundSystem sound;
    sound.SetFloor(-5000);
    EXPECT_EQ(sound.FullVolume(1.0f, 1.0f), 0);
    EXPECT_EQ(sound.FullVolume(0.5f, 1.0f), -2500);
    EXPECT_EQ(sound.FullVolume(0.5f, 0.5f), -3750);
    EXPECT_EQ(sound.FullVolume(0.0001f, 1.0f), -5000) << "-0.5 truncates toward zero";
    EXPECT_EQ(sound.FullVolume(0.3f, 1.0f), -3500);
    EXPECT_EQ(sound.FullVolume(5.0f, 1.0f), 0) << "group volumes above 1 count as 1";
    EXPECT_EQ(sound.FullVolume(0.0f, 1.0f), -10000) << "0 is silence, not the floor";
    EXPECT_EQ(sound.FullVolume(-0.5f, 1.0f), -10000);
    EXPECT_EQ(sound.FullVolume(1.0f, 0.0f), -5000);
    sound.SetFloor(-10000);
    EXPECT_EQ(sound.FullVolume(0.5f, 1.0f), -5000);
}

TEST_F(SoundTest, NewSoundsTakeTheirGroupVolume)
{
    MakeSound("a.ogg", 20);
    MakeSound("b.ogg", 20);
    MakeSound("c.ogg", 20);
    m_sound.SetGroupVolume(0.5f, kGroupEffects);
    EXPECT_EQ(m_sound.GetGroupVolume(kGroupEffects), 0.5f);
    EXPECT_EQ(m_sound.GetGroupVolume(kGroupInterface), 1.0f);
    EXPECT_EQ(Load("sfx\\a.ogg")->GetVolume(), -2500);
    EXPECT_EQ(Load("sfx\\b.ogg", kGroupInterface)->GetVolume(), 0) << "no record: volume 1";
    EXPECT_EQ(Load("sfx\\c.ogg", kGroupMusic, true)->GetVolume(), -5000) << "start silent: the floor";
}

TEST_F(SoundTest, SetGroupVolumeLeavesLoadedSoundsApplyGroupVolumeSetsThem)
{
    MakeSound("a.ogg", 20);
    MakeSound("b.ogg", 20);
    SoundBuffer* a = Load("sfx\\a.ogg");
    SoundBuffer* b = Load("sfx\\b.ogg", kGroupInterface);
    m_sound.SetGroupVolume(0.5f, kGroupEffects);
    EXPECT_EQ(a->GetVolume(), 0);
    m_sound.ApplyGroupVolume(0.8f, kGroupEffects);
    EXPECT_EQ(a->GetVolume(), -1000);
    EXPECT_EQ(b->GetVolume(), 0) << "other groups untouched";
    EXPECT_EQ(m_sound.GetGroupVolume(kGroupEffects), 0.8f);
}

TEST_F(SoundTest, GroupVolumeZeroSilencesCompletely)
{
    MakeSound("a.ogg", 100);
    SoundBuffer* a = Load("sfx\\a.ogg");
    m_sound.ApplyGroupVolume(0.0f, kGroupEffects);
    EXPECT_EQ(a->GetVolume(), -10000);
    m_sound.PlayOnce(a);
    EXPECT_EQ(Mix(50), 0);
    // Just above 0 the sound sits at the floor: faint, but heard.
    m_sound.ApplyGroupVolume(0.0001f, kGroupEffects);
    EXPECT_EQ(a->GetVolume(), -5000);
    EXPECT_GT(Mix(20), 0);
}

// ---- ".snd" files ----

TEST_F(SoundTest, SndFileGivesTheRelativeVolume)
{
    MakeSound("Half.ogg", 20);
    WriteFile("sfx/Half.snd", "0.5\n");
    SoundBuffer* b = Load("sfx\\Half.ogg");
    EXPECT_EQ(m_sound.FindEntry(b)->relativeVolume, 0.5f);
    EXPECT_EQ(b->GetVolume(), -2500);
}

TEST_F(SoundTest, SndFileHoldingOnePointFivePlaysAtRelativeVolumeOne)
{
    MakeSound("Loud.ogg", 20);
    WriteFile("sfx/Loud.snd", "1.5");
    m_sound.SetGroupVolume(0.6f, kGroupEffects);
    SoundBuffer* b = Load("sfx\\Loud.ogg");
    EXPECT_EQ(m_sound.FindEntry(b)->relativeVolume, 1.0f);
    EXPECT_EQ(b->GetVolume(), m_sound.FullVolume(0.6f, 1.0f));
    EXPECT_EQ(b->GetVolume(), -2000);
}

TEST_F(SoundTest, SndFileEdgeValues)
{
    WriteFile("sfx/neg.snd", "-2");
    WriteFile("sfx/text.snd", "loud");
    WriteFile("sfx/empty.snd", "");
    WriteFile("sfx/spaced.snd", "  \n 0.25 trailing words");
    WriteFile("sfx/two.dots.snd", "0.75");
    EXPECT_EQ(ReadRelativeVolume("sfx\\neg.ogg"), 0.0f);
    EXPECT_EQ(ReadRelativeVolume("sfx\\text.ogg"), 1.0f);
    EXPECT_EQ(ReadRelativeVolume("sfx\\empty.ogg"), 1.0f);
    EXPECT_EQ(ReadRelativeVolume("sfx\\spaced.ogg"), 0.25f);
    EXPECT_EQ(ReadRelativeVolume("sfx\\two.dots.ogg"), 0.75f) << "the extension starts at the last dot";
    EXPECT_EQ(ReadRelativeVolume("sfx\\none.ogg"), 1.0f);
    EXPECT_EQ(ReadRelativeVolume("SFX\\NEG.OGG"), 0.0f) << "found without regard to case";
}

TEST(SoundDevice, DiskDriverReceivesADecodedEffect)
{
    TempDir dir;
    ScopedChdir cd(dir.Path());
    std::filesystem::create_directory(dir.File("sfx"));
    // 100 ms of a 441 Hz tone at 22.05 kHz, played at half of full volume (-600 is 0.501).
    ASSERT_TRUE(WriteOggFile(dir.File("sfx/Tone.ogg"), MakeTone(2205, 1, 22050, 441, 10000), 1, 22050));
    const std::string raw = dir.File("out.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    {
        GMSoundSystem sound;
        sound.SetFloor(-5000);
        const int32_t created = sound.CreateSoundDevice(nullptr);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
        ASSERT_EQ(created, 0);
        sound.ApplyGroupVolume(0.88f, kGroupEffects);  // -600
        SoundBuffer* tone = sound.LoadSound("sfx\\Tone.ogg", kGroupEffects, false, kBufferVolume, false);
        ASSERT_NE(tone, nullptr);
        EXPECT_EQ(tone->GetVolume(), -600);
        ASSERT_TRUE(sound.PlayOnce(tone));
        for (int i = 0; i < 1000 && tone->IsPlaying(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_FALSE(tone->IsPlaying());
        sound.DestroySoundSystem();
    }
    std::string bytes = dir.Read("out.raw");
    ASSERT_GE(bytes.size(), 4410u * 4u);
    const auto* s = reinterpret_cast<const int16_t*>(bytes.data());
    const size_t n = bytes.size() / 2;
    size_t first = 0;
    while (first < n && s[first] == 0)
        ++first;
    size_t last = n;
    while (last > first && s[last - 1] == 0)
        --last;
    // The tone fills 4410 stereo frames of the 44.1 kHz stream, equal on both sides,
    // at an RMS of 10000 x 0.501 / sqrt 2 = 3544.
    EXPECT_NEAR(static_cast<double>(last - first), 8820.0, 40.0);
    double sum = 0;
    for (size_t i = first; i + 1 < last; i += 2) {
        EXPECT_EQ(s[i], s[i + 1]);
        sum += 2.0 * s[i] * s[i];
    }
    EXPECT_NEAR(std::sqrt(sum / static_cast<double>(last - first)), 3544.0, 150.0);
}
