#include "platform/Mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::shared_ptr<SampleBlock> MakeBlock(const std::vector<int16_t>& samples, int channels, int rate)
{
    auto b = std::make_shared<SampleBlock>();
    b->channels = channels;
    b->rate = rate;
    b->frames = static_cast<uint32_t>(samples.size() / static_cast<size_t>(channels));
    b->samples.reset(new int16_t[samples.size()]);
    std::copy(samples.begin(), samples.end(), b->samples.get());
    return b;
}

// A ramp of distinct values, so that a wrong index shows in the output.
std::vector<int16_t> Ramp(int frames, int start, int step)
{
    std::vector<int16_t> v(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        v[static_cast<size_t>(i)] = static_cast<int16_t>(start + i * step);
    return v;
}

std::vector<int16_t> Render(Mixer& m, int frames)
{
    std::vector<int16_t> out(static_cast<size_t>(frames) * static_cast<size_t>(m.DeviceChannels()), 12345);
    m.Mix(out.data(), frames);
    return out;
}

}  // namespace

TEST(MixerGain, HundredthsOfDecibelToLinear)
{
    EXPECT_EQ(VolumeToGain(-10000), 0.0f);
    EXPECT_EQ(VolumeToGain(-20000), 0.0f);
    EXPECT_EQ(VolumeToGain(0), 1.0f);
    EXPECT_NEAR(VolumeToGain(-2000), 0.1f, 1e-6);
    EXPECT_NEAR(VolumeToGain(-600) * 10000.0f, 5011.87f, 0.01f);
    // Just above silence is tiny but not zero.
    EXPECT_GT(VolumeToGain(-9999), 0.0f);
    EXPECT_LT(VolumeToGain(-9999), 1.1e-5f);
}

TEST(MixerOutput, KnownBufferAtKnownVolume)
{
    Mixer m(44100, 2);
    const auto samples = Ramp(64, -3000, 97);
    int32_t v = m.AddVoice(MakeBlock(samples, 1, 44100));
    ASSERT_GE(v, 0);
    ASSERT_TRUE(m.SetVolume(v, -600));
    ASSERT_TRUE(m.Play(v, false));
    auto out = Render(m, 80);
    const double gain = std::pow(10.0, -600 / 2000.0);
    for (int i = 0; i < 64; ++i) {
        const long expected = std::lround(samples[static_cast<size_t>(i)] * gain);
        EXPECT_NEAR(out[2 * i], expected, 1) << "frame " << i;
        EXPECT_EQ(out[2 * i], out[2 * i + 1]) << "mono feeds both sides, frame " << i;
    }
    for (int i = 64; i < 80; ++i)
        EXPECT_EQ(out[2 * i], 0) << "silence after the end, frame " << i;
    EXPECT_EQ(m.GetStatus(v), 0u);
    EXPECT_EQ(m.GetPosition(v), 0u) << "a buffer that ran out rewinds";
}

TEST(MixerOutput, TenThousandAtMinusSixHundredGives5011)
{
    Mixer m(48000, 1);
    int32_t v = m.AddVoice(MakeBlock(std::vector<int16_t>(8, 10000), 1, 48000));
    m.SetVolume(v, -600);
    m.Play(v, false);
    auto out = Render(m, 8);
    for (int16_t s : out)
        EXPECT_EQ(s, 5012);  // 5011.87 rounded
}

TEST(MixerOutput, SilentVolumeGivesZeros)
{
    Mixer m(44100, 2);
    int32_t v = m.AddVoice(MakeBlock(std::vector<int16_t>(32, 20000), 1, 44100));
    m.SetVolume(v, -10000);
    m.Play(v, true);
    for (int16_t s : Render(m, 100))
        EXPECT_EQ(s, 0);
    EXPECT_EQ(m.GetStatus(v), static_cast<uint32_t>(kMixerPlaying | kMixerLooping));
}

TEST(MixerOutput, TwoOverlappingVoicesAdd)
{
    Mixer m(44100, 1);
    auto block = MakeBlock(Ramp(100, 100, 10), 1, 44100);
    int32_t a = m.AddVoice(block);
    int32_t b = m.AddVoice(block);
    m.Play(a, false);
    auto first = Render(m, 30);
    m.Play(b, false);  // starts 30 frames behind a
    auto second = Render(m, 100);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(first[static_cast<size_t>(i)], 100 + 10 * i);
    for (int i = 0; i < 100; ++i) {
        const int fa = 30 + i;
        const int expected = (fa < 100 ? 100 + 10 * fa : 0) + (100 + 10 * i);
        EXPECT_EQ(second[static_cast<size_t>(i)], expected) << "frame " << i;
    }
    EXPECT_EQ(m.GetStatus(a), 0u);
    EXPECT_EQ(m.GetStatus(b), 0u);
}

TEST(MixerOutput, SumIsClippedNotWrapped)
{
    Mixer m(44100, 1);
    auto block = MakeBlock(std::vector<int16_t>(10, 30000), 1, 44100);
    auto low = MakeBlock(std::vector<int16_t>(10, -30000), 1, 44100);
    int32_t a = m.AddVoice(block), b = m.AddVoice(block);
    m.Play(a, false);
    m.Play(b, false);
    for (int16_t s : Render(m, 10))
        EXPECT_EQ(s, 32767);
    int32_t c = m.AddVoice(low), d = m.AddVoice(low);
    m.Play(c, false);
    m.Play(d, false);
    for (int16_t s : Render(m, 10))
        EXPECT_EQ(s, -32768);
}

TEST(MixerOutput, LoopingBufferRunsAcrossItsEnd)
{
    Mixer m(22050, 2);
    auto samples = Ramp(50, -500, 20);
    int32_t v = m.AddVoice(MakeBlock(samples, 1, 22050));
    m.Play(v, true);
    // 170 frames in uneven pieces: the wrap must not depend on the piece size.
    std::vector<int16_t> all;
    for (int piece : {33, 64, 7, 66}) {
        auto out = Render(m, piece);
        all.insert(all.end(), out.begin(), out.end());
    }
    for (int i = 0; i < 170; ++i)
        EXPECT_EQ(all[2 * static_cast<size_t>(i)], samples[static_cast<size_t>(i % 50)]) << "frame " << i;
    EXPECT_EQ(m.GetStatus(v), static_cast<uint32_t>(kMixerPlaying | kMixerLooping));
    EXPECT_EQ(m.GetPosition(v), 170u % 50u);
}

TEST(MixerOutput, StereoChannelsStaySeparate)
{
    Mixer m(44100, 2);
    std::vector<int16_t> s = {1000, -2000, 1100, -2100, 1200, -2200};
    int32_t v = m.AddVoice(MakeBlock(s, 2, 44100));
    m.Play(v, false);
    auto out = Render(m, 4);
    std::vector<int16_t> expected = {1000, -2000, 1100, -2100, 1200, -2200, 0, 0};
    EXPECT_EQ(out, expected);
}

TEST(MixerOutput, StereoIntoMonoDeviceIsAveraged)
{
    Mixer m(44100, 1);
    int32_t v = m.AddVoice(MakeBlock({1000, 3000, -400, 0}, 2, 44100));
    m.Play(v, false);
    auto out = Render(m, 2);
    EXPECT_EQ(out[0], 2000);
    EXPECT_EQ(out[1], -200);
}

TEST(MixerOutput, HalfRateSourceIsInterpolated)
{
    Mixer m(44100, 1);
    int32_t v = m.AddVoice(MakeBlock({0, 1000, 3000, 3000}, 1, 22050));
    m.Play(v, false);
    auto out = Render(m, 10);
    // Each source frame lasts two device frames; the odd ones lie halfway.
    std::vector<int16_t> expected = {0, 500, 1000, 2000, 3000, 3000, 3000, 3000, 0, 0};
    EXPECT_EQ(out, expected);
    EXPECT_EQ(m.GetStatus(v), 0u);
}

TEST(MixerOutput, DoubleRateSourcePlaysInHalfTheTime)
{
    Mixer m(22050, 1);
    int32_t v = m.AddVoice(MakeBlock(Ramp(100, 0, 10), 1, 44100));
    m.Play(v, false);
    auto out = Render(m, 60);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(out[static_cast<size_t>(i)], 20 * i);
    for (int i = 50; i < 60; ++i)
        EXPECT_EQ(out[static_cast<size_t>(i)], 0);
}

TEST(MixerCommands, StopKeepsPositionAndPlayResumes)
{
    Mixer m(44100, 1);
    auto samples = Ramp(100, 5, 3);
    int32_t v = m.AddVoice(MakeBlock(samples, 1, 44100));
    m.Play(v, true);
    Render(m, 40);
    m.Stop(v);
    EXPECT_EQ(m.GetStatus(v), 0u);
    EXPECT_EQ(m.GetPosition(v), 40u);
    for (int16_t s : Render(m, 10))
        EXPECT_EQ(s, 0);
    m.Play(v, true);
    auto out = Render(m, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(out[static_cast<size_t>(i)], samples[static_cast<size_t>(40 + i)]);
}

TEST(MixerCommands, SetPositionRewindsAndRejectsThePastEnd)
{
    Mixer m(44100, 1);
    int32_t v = m.AddVoice(MakeBlock(Ramp(20, 0, 1), 1, 44100));
    EXPECT_TRUE(m.SetPosition(v, 15));
    EXPECT_EQ(m.GetPosition(v), 15u);
    EXPECT_TRUE(m.SetPosition(v, 20));
    EXPECT_EQ(m.GetPosition(v), 0u);
    EXPECT_FALSE(m.SetPosition(v + 7, 0));
}

TEST(MixerCommands, VolumeChangeWhilePlayingGlidesWithoutAJump)
{
    Mixer m(44100, 1);
    int32_t v = m.AddVoice(MakeBlock(std::vector<int16_t>(100, 10000), 1, 44100));
    m.Play(v, true);
    EXPECT_EQ(Render(m, 10)[9], 10000);
    m.SetVolume(v, -2000);  // gain 0.1
    auto out = Render(m, 400);
    // The first frame after the change is still near the old level...
    EXPECT_GT(out[0], 9900);
    // ...the level falls monotonically, without a step of more than 1/100 of the change...
    for (size_t i = 1; i < out.size(); ++i) {
        EXPECT_LE(out[i], out[i - 1]);
        EXPECT_LE(out[i - 1] - out[i], 90);
    }
    // ...and it has arrived after 5 ms (221 frames at 44.1 kHz).
    EXPECT_EQ(out[230], 1000);
    EXPECT_EQ(out[399], 1000);
    EXPECT_EQ(m.GetVolume(v), -2000);
}

TEST(MixerCommands, VolumeOfAStoppedVoiceAppliesAtOnceAndIsHeldInRange)
{
    Mixer m(44100, 1);
    int32_t v = m.AddVoice(MakeBlock(std::vector<int16_t>(10, 10000), 1, 44100));
    m.SetVolume(v, -2000);
    m.Play(v, false);
    EXPECT_EQ(Render(m, 1)[0], 1000);
    m.SetVolume(v, 500);
    EXPECT_EQ(m.GetVolume(v), 0);
    m.SetVolume(v, -12000);
    EXPECT_EQ(m.GetVolume(v), -10000);
}

TEST(MixerCommands, RemovedVoiceIdIsReusedAndOldIdIsDead)
{
    Mixer m(44100, 1);
    auto block = MakeBlock(Ramp(10, 1, 1), 1, 44100);
    int32_t a = m.AddVoice(block);
    m.Play(a, true);
    m.RemoveVoice(a);
    EXPECT_EQ(m.PlayingVoices(), 0);
    EXPECT_FALSE(m.Play(a, false));
    EXPECT_EQ(m.GetStatus(a), 0u);
    int32_t b = m.AddVoice(block);
    EXPECT_EQ(b, a);
    EXPECT_EQ(m.GetStatus(b), 0u) << "a reused slot starts stopped";
    EXPECT_EQ(block.use_count(), 2) << "the removed voice dropped its share";
}

TEST(MixerCommands, RejectsBlocksWithoutFormat)
{
    Mixer m(44100, 2);
    EXPECT_EQ(m.AddVoice(nullptr), -1);
    auto b = MakeBlock({1, 2}, 1, 44100);
    b->rate = 0;
    EXPECT_EQ(m.AddVoice(b), -1);
}
