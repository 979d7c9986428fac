#pragma once
#include <cstdint>
#include <memory>

#include "platform/AudioVolume.h"

class Mixer;
struct SampleBlock;

// What stands in for DirectSound: an audio device with static sound buffers of
// 16-bit PCM, mixed in software (Mixer) and played through SDL audio. Volumes
// are in hundredths of a decibel, -10000 (silence) to 0 (full).

// Buffer creation flags the game passes; every buffer here has volume control
// and static memory, so they are kept for reference only.
enum SoundBufferFlags : uint32_t {
    kBufferStatic = 0x2,
    kBufferVolume = 0x80,
    kBufferDeferred = 0x40000,
};

// Status bits (GetStatus).
enum SoundBufferStatus : uint32_t {
    kSoundPlaying = 1,
    kSoundLooping = 4,
};

// PCM format of a buffer: only 16 bits per sample are played.
struct AudioFormat {
    int channels = 1;
    int rate = 44100;
    int bitsPerSample = 16;
    int blockAlign = 2;
    int avgBytesPerSec = 88200;
};

struct SoundBufferDesc {
    uint32_t flags = kBufferVolume;
    uint32_t bytes = 0;
    AudioFormat format;
};

class SoundBuffer {
public:
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // Write access to the samples before the first play or duplicate; fails
    // for duplicates, shared or playing buffers.
    bool Lock(void** data, uint32_t* bytes);
    void Unlock();
    // Writes samples from frame `first` on while the buffer may play (a long
    // sound decoded as it plays); false past its end.
    bool Write(uint32_t first, const int16_t* samples, uint32_t frames);

    bool Play(bool looping);
    bool Stop();
    bool SetPosition(uint32_t frame);  // in frames; beyond the end means 0
    uint32_t GetPosition() const;
    bool SetVolume(int32_t volume);    // held within -10000..0
    int32_t GetVolume() const;
    uint32_t GetStatus() const;
    bool IsPlaying() const { return (GetStatus() & kSoundPlaying) != 0; }
    bool IsLooping() const { return (GetStatus() & kSoundLooping) != 0; }

    const int16_t* Samples() const;
    uint32_t Frames() const;
    int Channels() const;
    int Rate() const;
    uint32_t Flags() const { return m_flags; }

    // Stops and destroys the buffer; duplicates keep the shared samples alive.
    void Release();

private:
    friend class AudioDevice;
    SoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<SampleBlock> block, int32_t voice,
                uint32_t flags, bool duplicate);
    ~SoundBuffer();

    std::shared_ptr<Mixer> m_mixer;
    std::shared_ptr<SampleBlock> m_block;
    int32_t m_voice;
    uint32_t m_flags;
    bool m_duplicate;
    bool m_locked = false;
};

class AudioDevice {
public:
    // The default output through SDL (the driver SDL_AUDIODRIVER names, or
    // SDL's choice). Null when audio cannot be initialised or opened;
    // LastError() then says why.
    static AudioDevice* Open();
    // A device without SDL whose caller pulls the mixed stream with Render:
    // tests and benchmarks run the mixer deterministically through it.
    static AudioDevice* OpenManual(int rate, int channels);
    static const char* LastError();

    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Null for a format other than 16-bit PCM, no channels or rate, or a size
    // that is not a whole number of frames (at least one).
    SoundBuffer* CreateSoundBuffer(const SoundBufferDesc& desc);
    // A stopped buffer at position 0 with the original's volume, over the same samples.
    SoundBuffer* DuplicateSoundBuffer(SoundBuffer* original);

    // Manual devices only: mixes frames into out (frames * Channels() samples).
    void Render(int16_t* out, int frames);

    int Rate() const;
    int Channels() const;
    bool IsManual() const { return m_deviceId == 0; }
    int PlayingVoices() const;

private:
    explicit AudioDevice(std::shared_ptr<Mixer> mixer, uint32_t deviceId);

    std::shared_ptr<Mixer> m_mixer;
    uint32_t m_deviceId;  // SDL audio device id, 0 for a manual device
};
