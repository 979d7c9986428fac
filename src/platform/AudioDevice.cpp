#include "platform/AudioDevice.h"

#include "platform/Mixer.h"

#include <SDL.h>

#include <cstring>
#include <dlfcn.h>
#include <new>
#include <string>

namespace {

std::string g_lastError;

void AudioCallback(void* user, Uint8* stream, int len)
{
    auto* mixer = static_cast<Mixer*>(user);
    const int frameBytes = static_cast<int>(sizeof(int16_t)) * mixer->DeviceChannels();
    mixer->Mix(reinterpret_cast<int16_t*>(stream), len / frameBytes);
}

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card ALSA prints its complaints on standard error on every
// start; the game says once, in its log, that it runs without sound. SDL loads
// the same library later, so the handler set here is the one it meets.
void QuietAlsa()
{
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    static bool done = false;
    if (done)
        return;
    done = true;
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa)
        return;
    auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set)
        set(&IgnoreAlsaError);
    // Kept loaded: unloading would take the handler with it.
}

}  // namespace

// ---- SoundBuffer ----

SoundBuffer::SoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<SampleBlock> block, int32_t voice,
                         uint32_t flags, bool duplicate)
    : m_mixer(std::move(mixer)), m_block(std::move(block)), m_voice(voice), m_flags(flags), m_duplicate(duplicate)
{
}

SoundBuffer::~SoundBuffer()
{
    m_mixer->RemoveVoice(m_voice);
}

void SoundBuffer::Release()
{
    delete this;
}

bool SoundBuffer::Lock(void** data, uint32_t* bytes)
{
    if (!data || !bytes || m_locked || m_duplicate || m_block->shared || IsPlaying())
        return false;
    *data = m_block->samples.get();
    *bytes = m_block->frames * static_cast<uint32_t>(m_block->channels) * 2u;
    m_locked = true;
    return true;
}

void SoundBuffer::Unlock()
{
    m_locked = false;
}

bool SoundBuffer::Write(uint32_t first, const int16_t* samples, uint32_t frames)
{
    const size_t channels = static_cast<size_t>(m_block->channels);
    return !m_locked && m_mixer->WriteSamples(*m_block, first * channels, samples, frames * channels);
}

bool SoundBuffer::Play(bool looping)
{
    return !m_locked && m_mixer->Play(m_voice, looping);
}

bool SoundBuffer::Stop()
{
    return m_mixer->Stop(m_voice);
}

bool SoundBuffer::SetPosition(uint32_t frame)
{
    return m_mixer->SetPosition(m_voice, frame);
}

uint32_t SoundBuffer::GetPosition() const
{
    return m_mixer->GetPosition(m_voice);
}

bool SoundBuffer::SetVolume(int32_t volume)
{
    return m_mixer->SetVolume(m_voice, volume);
}

int32_t SoundBuffer::GetVolume() const
{
    return m_mixer->GetVolume(m_voice);
}

uint32_t SoundBuffer::GetStatus() const
{
    uint32_t s = m_mixer->GetStatus(m_voice);
    return ((s & kMixerPlaying) ? kSoundPlaying : 0u) | ((s & kMixerLooping) ? kSoundLooping : 0u);
}

const int16_t* SoundBuffer::Samples() const
{
    return m_block->samples.get();
}

uint32_t SoundBuffer::Frames() const
{
    return m_block->frames;
}

int SoundBuffer::Channels() const
{
    return m_block->channels;
}

int SoundBuffer::Rate() const
{
    return m_block->rate;
}

// ---- AudioDevice ----

AudioDevice::AudioDevice(std::shared_ptr<Mixer> mixer, uint32_t deviceId)
    : m_mixer(std::move(mixer)), m_deviceId(deviceId)
{
}

AudioDevice::~AudioDevice()
{
    if (m_deviceId != 0) {
        // Waits for a running callback; buffers that outlive the device stay
        // valid but are never mixed again.
        SDL_CloseAudioDevice(m_deviceId);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

const char* AudioDevice::LastError()
{
    return g_lastError.c_str();
}

AudioDevice* AudioDevice::Open()
{
    QuietAlsa();
    // Audio alone: a failure here must not take video down with it.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        g_lastError = std::string("SDL audio init failed: ") + SDL_GetError();
        return nullptr;
    }
    auto mixer = std::make_shared<Mixer>(44100, 2);
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = mixer->DeviceRate();
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(mixer->DeviceChannels());
    want.samples = 1024;
    want.callback = AudioCallback;
    want.userdata = mixer.get();
    SDL_AudioSpec have;
    // No changes allowed: SDL converts our 44.1 kHz stereo to whatever the hardware takes.
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) {
        g_lastError = std::string("SDL audio device not opened: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    auto* device = new (std::nothrow) AudioDevice(mixer, id);
    if (!device) {
        SDL_CloseAudioDevice(id);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_PauseAudioDevice(id, 0);
    g_lastError.clear();
    return device;
}

AudioDevice* AudioDevice::OpenManual(int rate, int channels)
{
    if (rate <= 0 || (channels != 1 && channels != 2))
        return nullptr;
    return new (std::nothrow) AudioDevice(std::make_shared<Mixer>(rate, channels), 0);
}

SoundBuffer* AudioDevice::CreateSoundBuffer(const SoundBufferDesc& desc)
{
    const AudioFormat& f = desc.format;
    if (f.bitsPerSample != 16 || f.channels < 1 || f.rate < 1)
        return nullptr;
    const uint32_t frameBytes = static_cast<uint32_t>(f.channels) * 2u;
    if (desc.bytes < frameBytes || desc.bytes % frameBytes != 0)
        return nullptr;
    auto block = std::make_shared<SampleBlock>();
    block->frames = desc.bytes / frameBytes;
    block->channels = f.channels;
    block->rate = f.rate;
    block->samples.reset(new (std::nothrow) int16_t[desc.bytes / 2]());
    if (!block->samples)
        return nullptr;
    int32_t voice = m_mixer->AddVoice(block);
    if (voice < 0)
        return nullptr;
    auto* buffer = new (std::nothrow) SoundBuffer(m_mixer, std::move(block), voice, desc.flags, false);
    if (!buffer)
        m_mixer->RemoveVoice(voice);
    return buffer;
}

SoundBuffer* AudioDevice::DuplicateSoundBuffer(SoundBuffer* original)
{
    if (!original || original->m_locked || original->m_mixer != m_mixer)
        return nullptr;
    original->m_block->shared = true;
    int32_t voice = m_mixer->AddVoice(original->m_block);
    if (voice < 0)
        return nullptr;
    m_mixer->SetVolume(voice, original->GetVolume());
    auto* buffer = new (std::nothrow) SoundBuffer(m_mixer, original->m_block, voice, original->m_flags, true);
    if (!buffer)
        m_mixer->RemoveVoice(voice);
    return buffer;
}

void AudioDevice::Render(int16_t* out, int frames)
{
    if (m_deviceId == 0)
        m_mixer->Mix(out, frames);
}

int AudioDevice::Rate() const
{
    return m_mixer->DeviceRate();
}

int AudioDevice::Channels() const
{
    return m_mixer->DeviceChannels();
}

int AudioDevice::PlayingVoices() const
{
    return m_mixer->PlayingVoices();
}
