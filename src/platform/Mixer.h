#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/AudioVolume.h"

// 16-bit PCM frames (interleaved) of one static sound. A buffer and all its
// duplicates share one block; it is filled before it is shared or played, or
// (a long sound decoded as it plays) through the mixer's lock.
struct SampleBlock {
    std::unique_ptr<int16_t[]> samples;
    uint32_t frames = 0;
    int channels = 1;
    int rate = 44100;
    bool shared = false;  // set at the first duplicate; the samples are frozen from then on
};

// Status bits of a voice, the values DirectSound used.
enum MixerStatus : uint32_t {
    kMixerPlaying = 1,
    kMixerLooping = 4,
};

// The software mixer behind the audio device. Knows nothing of SDL: the audio
// thread calls Mix, the game thread sends commands; one mutex guards the
// voices, so every command sees a consistent state and status stays honest.
class Mixer {
public:
    Mixer(int deviceRate, int deviceChannels);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    int DeviceRate() const { return m_rate; }
    int DeviceChannels() const { return m_channels; }

    // A new stopped voice over the block at full volume; returns its id or -1.
    int32_t AddVoice(std::shared_ptr<const SampleBlock> block);
    void RemoveVoice(int32_t id);

    // Starts from the current position; a playing voice only changes its looping.
    bool Play(int32_t id, bool looping);
    bool Stop(int32_t id);
    bool SetPosition(int32_t id, uint32_t frame);
    uint32_t GetPosition(int32_t id) const;
    bool SetVolume(int32_t id, int32_t volume);
    int32_t GetVolume(int32_t id) const;
    uint32_t GetStatus(int32_t id) const;

    // Copies samples into a block that voices may be playing (a sound decoded
    // while it plays), under the lock that Mix holds. False past the block's end.
    bool WriteSamples(SampleBlock& block, size_t firstSample, const int16_t* samples, size_t count);

    // Writes frames * DeviceChannels() samples: the sum of every playing voice.
    void Mix(int16_t* out, int frames);

    int PlayingVoices() const;

private:
    struct Voice {
        std::shared_ptr<const SampleBlock> block;
        uint64_t position = 0;  // source frames, 32.32 fixed point
        uint64_t step = 0;      // source frames per device frame, 32.32
        int32_t volume = kVolumeFull;
        float gain = 1.0f;        // what is applied now
        float targetGain = 1.0f;  // what volume asks for
        float gainStep = 0.0f;
        int rampLeft = 0;  // device frames until gain reaches targetGain
        bool playing = false;
        bool looping = false;
        bool used = false;
    };

    Voice* Find(int32_t id);
    const Voice* Find(int32_t id) const;
    void MixVoice(Voice& v, float* acc, int frames);

    const int m_rate;
    const int m_channels;
    mutable std::mutex m_lock;
    std::vector<Voice> m_voices;
    std::vector<int32_t> m_free;
    std::vector<float> m_acc;
};
