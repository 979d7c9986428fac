// Sound figures: decoding the game's 37 effects and two minutes of stereo
// music at load time, and mixing 16 voices for 10 s of audio.
#include "platform/AudioDevice.h"
#include "platform/Mixer.h"
#include "sound/GMSoundSystem.h"
#include "sound/OggEncoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct Dir {
    std::string path;
    Dir()
    {
        char tmpl[] = "/tmp/brimvale-bench-XXXXXX";
        path = mkdtemp(tmpl) ? tmpl : "/tmp";
    }
    ~Dir()
    {
        std::error_code ec;
        if (path != "/tmp")
            std::filesystem::remove_all(path, ec);
    }
};

}  // namespace

int main()
{
    Dir dir;
    std::filesystem::create_directory(dir.path + "/sfx");
    const int kEffects = 37;

    // The data: effects of 0.2 to 1.6 s, mono, 22.05 or 44.1 kHz; two 60 s stereo tracks.
    auto t0 = Clock::now();
    std::vector<std::string> names;
    double effectSeconds = 0;
    for (int i = 0; i < kEffects; ++i) {
        const int rate = (i % 3 == 0) ? 22050 : 44100;
        const double seconds = 0.2 + 0.04 * i;
        effectSeconds += seconds;
        const int frames = static_cast<int>(rate * seconds);
        std::string name = "sfx/effect" + std::to_string(i) + ".ogg";
        WriteOggFile(dir.path + "/" + name, MakeTone(frames, 1, rate, 220.0 + 17.0 * i, 9000), 1, rate, 0.3f);
        names.push_back("sfx\\effect" + std::to_string(i) + ".ogg");
    }
    for (const char* track : {"mainmenu", "ingame"}) {
        WriteOggFile(dir.path + "/sfx/" + track + ".ogg", MakeTone(44100 * 60, 2, 44100, 330.0, 7000), 2, 44100,
                     0.4f);
    }
    auto t1 = Clock::now();
    std::printf("encoding the test data (not part of the figures): %.0f ms\n", Ms(t0, t1));

    const std::string old = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path);

    // Loading: best of three fresh sound systems.
    double bestEffects = 1e30, bestMusic = 1e30;
    size_t pcmBytes = 0;
    for (int run = 0; run < 3; ++run) {
        GMSoundSystem sound;
        sound.UseDevice(AudioDevice::OpenManual(44100, 2));
        sound.SetFloor(-5000);
        pcmBytes = 0;
        auto a = Clock::now();
        for (const std::string& n : names) {
            SoundBuffer* b = sound.LoadSound(n.c_str(), 0, false, 128, false);
            if (!b) {
                std::printf("failed to load %s\n", n.c_str());
                return 1;
            }
            pcmBytes += b->Frames() * static_cast<size_t>(b->Channels()) * 2;
        }
        auto b = Clock::now();
        for (const char* t : {"sfx\\mainmenu.ogg", "sfx\\ingame.ogg"}) {
            SoundBuffer* m = sound.LoadSound(t, 100, false, 130, true);
            if (!m)
                return 1;
            pcmBytes += m->Frames() * static_cast<size_t>(m->Channels()) * 2;
        }
        auto c = Clock::now();
        bestEffects = std::min(bestEffects, Ms(a, b));
        bestMusic = std::min(bestMusic, Ms(b, c));
    }
    std::filesystem::current_path(old);
    std::printf("load %d effects (%.1f s of mono audio): %.1f ms (%.2f ms each)\n", kEffects, effectSeconds,
                bestEffects, bestEffects / kEffects);
    std::printf("load 2 x 60 s stereo music tracks: %.1f ms\n", bestMusic);
    std::printf("load total: %.1f ms, %.1f MB of PCM held\n", bestEffects + bestMusic, pcmBytes / 1048576.0);

    // Mixing: 16 looping voices of mixed formats, volumes moving every 10 ms
    // (as fades do), pulled in callback-sized pieces of 1024 frames.
    Mixer mixer(44100, 2);
    std::vector<int32_t> voices;
    for (int i = 0; i < 16; ++i) {
        auto block = std::make_shared<SampleBlock>();
        block->channels = (i % 4 == 3) ? 2 : 1;
        block->rate = (i % 4 == 1) ? 22050 : 44100;
        block->frames = static_cast<uint32_t>(block->rate / 2 + 37 * i);
        auto tone = MakeTone(static_cast<int>(block->frames), block->channels, block->rate, 200.0 + 50 * i, 3000);
        block->samples.reset(new int16_t[tone.size()]);
        std::copy(tone.begin(), tone.end(), block->samples.get());
        int32_t v = mixer.AddVoice(block);
        mixer.SetVolume(v, -200 * (i % 8));
        mixer.Play(v, true);
        voices.push_back(v);
    }
    const int kFrames = 44100 * 10;
    const int kPiece = 1024;
    std::vector<int16_t> out(kPiece * 2);
    double worstPiece = 0;
    long long checksum = 0;
    auto m0 = Clock::now();
    int sinceVolume = 0, step = 0;
    for (int done = 0; done < kFrames; done += kPiece) {
        const int n = std::min(kPiece, kFrames - done);
        auto p0 = Clock::now();
        mixer.Mix(out.data(), n);
        auto p1 = Clock::now();
        worstPiece = std::max(worstPiece, Ms(p0, p1));
        checksum += out[0];
        sinceVolume += n;
        if (sinceVolume >= 441) {
            sinceVolume = 0;
            ++step;
            for (size_t i = 0; i < voices.size(); ++i)
                mixer.SetVolume(voices[i], -static_cast<int32_t>((step * 37 + i * 100) % 3000));
        }
    }
    auto m1 = Clock::now();
    const double mixMs = Ms(m0, m1);
    std::printf("mix 16 voices, 10 s of 44.1 kHz stereo: %.1f ms (%.0f x real time), worst 1024-frame piece %.3f ms "
                "of its %.1f ms (checksum %lld)\n",
                mixMs, 10000.0 / mixMs, worstPiece, 1024 * 1000.0 / 44100, checksum);
    return 0;
}
