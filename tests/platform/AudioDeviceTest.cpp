#include "platform/AudioDevice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct DeviceDeleter {
    void operator()(AudioDevice* d) const { delete d; }
};
using DevicePtr = std::unique_ptr<AudioDevice, DeviceDeleter>;

SoundBuffer* MakeBuffer(AudioDevice& d, const std::vector<int16_t>& samples, int channels, int rate)
{
    SoundBufferDesc desc;
    desc.flags = kBufferVolume | kBufferStatic;
    desc.bytes = static_cast<uint32_t>(samples.size() * 2);
    desc.format.channels = channels;
    desc.format.rate = rate;
    desc.format.blockAlign = channels * 2;
    desc.format.avgBytesPerSec = rate * channels * 2;
    SoundBuffer* b = d.CreateSoundBuffer(desc);
    if (!b)
        return nullptr;
    void* data = nullptr;
    uint32_t bytes = 0;
    if (!b->Lock(&data, &bytes) || bytes < desc.bytes) {
        b->Release();
        return nullptr;
    }
    std::memcpy(data, samples.data(), desc.bytes);
    b->Unlock();
    return b;
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        if (old)
            m_old = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv()
    {
        if (m_had)
            setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }

private:
    std::string m_name, m_old;
    bool m_had = false;
};

}  // namespace

TEST(AudioDeviceBuffers, CreateRejectsFormatsWeCannotPlay)
{
    DevicePtr d(AudioDevice::OpenManual(44100, 2));
    ASSERT_TRUE(d);
    SoundBufferDesc desc;
    desc.bytes = 100;
    desc.format.bitsPerSample = 8;
    EXPECT_EQ(d->CreateSoundBuffer(desc), nullptr);
    desc.format.bitsPerSample = 16;
    desc.format.channels = 2;
    desc.bytes = 6;  // not a whole number of stereo frames
    EXPECT_EQ(d->CreateSoundBuffer(desc), nullptr);
    desc.bytes = 0;
    EXPECT_EQ(d->CreateSoundBuffer(desc), nullptr);
    desc.bytes = 8;
    SoundBuffer* b = d->CreateSoundBuffer(desc);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Frames(), 2u);
    EXPECT_EQ(b->Channels(), 2);
    b->Release();
    EXPECT_EQ(AudioDevice::OpenManual(44100, 3), nullptr);
}

TEST(AudioDeviceBuffers, DuplicateSharesSampleMemory)
{
    DevicePtr d(AudioDevice::OpenManual(44100, 1));
    std::vector<int16_t> s = {100, 200, 300, 400, 500, 600};
    SoundBuffer* orig = MakeBuffer(*d, s, 1, 44100);
    ASSERT_NE(orig, nullptr);
    orig->SetVolume(-2000);
    SoundBuffer* dup = d->DuplicateSoundBuffer(orig);
    ASSERT_NE(dup, nullptr);
    EXPECT_EQ(dup->Samples(), orig->Samples()) << "one block, not a copy";
    EXPECT_EQ(dup->GetVolume(), -2000);
    EXPECT_EQ(dup->GetPosition(), 0u);
    EXPECT_FALSE(dup->IsPlaying());

    // Once shared, the samples are frozen: neither may be locked for writing.
    void* data = nullptr;
    uint32_t bytes = 0;
    EXPECT_FALSE(orig->Lock(&data, &bytes));
    EXPECT_FALSE(dup->Lock(&data, &bytes));

    // The duplicate plays on after its original is gone.
    orig->Release();
    dup->SetVolume(0);
    dup->Play(false);
    std::vector<int16_t> out(8);
    d->Render(out.data(), 8);
    std::vector<int16_t> expected = {100, 200, 300, 400, 500, 600, 0, 0};
    EXPECT_EQ(out, expected);
    dup->Release();
}

TEST(AudioDeviceBuffers, OriginalAndDuplicateOverlap)
{
    DevicePtr d(AudioDevice::OpenManual(44100, 1));
    SoundBuffer* a = MakeBuffer(*d, {1000, 2000, 3000, 4000}, 1, 44100);
    a->Play(false);
    std::vector<int16_t> out(2);
    d->Render(out.data(), 2);
    SoundBuffer* b = d->DuplicateSoundBuffer(a);
    b->Play(false);
    out.assign(4, 0);
    d->Render(out.data(), 4);
    std::vector<int16_t> expected = {3000 + 1000, 4000 + 2000, 3000, 4000};
    EXPECT_EQ(out, expected);
    EXPECT_FALSE(a->IsPlaying());
    EXPECT_FALSE(b->IsPlaying());
    b->Release();
    a->Release();
}

TEST(AudioDeviceBuffers, LockedBufferDoesNotPlay)
{
    DevicePtr d(AudioDevice::OpenManual(44100, 1));
    SoundBufferDesc desc;
    desc.bytes = 8;
    SoundBuffer* b = d->CreateSoundBuffer(desc);
    void* data = nullptr;
    uint32_t bytes = 0;
    ASSERT_TRUE(b->Lock(&data, &bytes));
    EXPECT_EQ(bytes, 8u);
    EXPECT_FALSE(b->Play(false));
    EXPECT_EQ(d->DuplicateSoundBuffer(b), nullptr);
    b->Unlock();
    EXPECT_TRUE(b->Play(true));
    EXPECT_EQ(b->GetStatus(), static_cast<uint32_t>(kSoundPlaying | kSoundLooping));
    b->Release();
}

TEST(AudioDeviceBuffers, BuffersOutliveTheirDevice)
{
    DevicePtr d(AudioDevice::OpenManual(44100, 2));
    SoundBuffer* b = MakeBuffer(*d, {1, 2, 3}, 1, 44100);
    d.reset();
    EXPECT_TRUE(b->SetVolume(-100));
    EXPECT_EQ(b->GetVolume(), -100);
    b->Release();
}

TEST(AudioDeviceSdl, DummyDriverOpensAndPlaysInRealTime)
{
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    DevicePtr d(AudioDevice::Open());
    ASSERT_TRUE(d) << AudioDevice::LastError();
    EXPECT_FALSE(d->IsManual());
    // 50 ms of sound at 22.05 kHz: SDL's thread must play it out and stop it.
    SoundBuffer* b = MakeBuffer(*d, std::vector<int16_t>(1102, 3000), 1, 22050);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->Play(false));
    EXPECT_TRUE(b->IsPlaying());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (b->IsPlaying() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(b->IsPlaying());
    EXPECT_EQ(b->GetPosition(), 0u);
    b->Release();
}

TEST(AudioDeviceSdl, UnknownDriverFailsToOpen)
{
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    AudioDevice* d = AudioDevice::Open();
    EXPECT_EQ(d, nullptr);
    delete d;
    EXPECT_STRNE(AudioDevice::LastError(), "");
}

TEST(AudioDeviceSdl, DiskDriverReceivesTheMixedStream)
{
    const std::string file = "/tmp/brimvale-disk-audio-" + std::to_string(::getpid()) + ".raw";
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "disk");
        ScopedEnv out("SDL_DISKAUDIOFILE", file.c_str());
        DevicePtr d(AudioDevice::Open());
        ASSERT_TRUE(d) << AudioDevice::LastError();
        // 1000 frames of 10000 at half the device rate and -600 (gain 0.501).
        SoundBuffer* b = MakeBuffer(*d, std::vector<int16_t>(1000, 10000), 1, 22050);
        ASSERT_NE(b, nullptr);
        b->SetVolume(-600);
        b->Play(false);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (b->IsPlaying() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_FALSE(b->IsPlaying());
        b->Release();
    }  // closing the device flushes the file
    FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<int16_t> stream;
    int16_t sample;
    while (std::fread(&sample, sizeof sample, 1, f) == 1)
        stream.push_back(sample);
    std::fclose(f);
    std::remove(file.c_str());
    // The stream is 44.1 kHz stereo; the sound fills 2000 frames with 5012.
    size_t loud = 0;
    for (int16_t v : stream) {
        if (v != 0) {
            EXPECT_EQ(v, 5012);
            ++loud;
        }
    }
    EXPECT_EQ(loud, 4000u);
}
