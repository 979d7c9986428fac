#include "platform/Mixer.h"

#include <cmath>
#include <cstring>

namespace {

// Volume changes of a playing voice glide over 5 ms, so that the per-frame
// steps of a fade do not click.
constexpr int kRampMillis = 5;

int16_t ClampSample(float v)
{
    long s = std::lrintf(v);
    if (s > 32767)
        return 32767;
    if (s < -32768)
        return -32768;
    return static_cast<int16_t>(s);
}

}  // namespace

float VolumeToGain(int32_t volume)
{
    if (volume <= kVolumeSilent)
        return 0.0f;
    if (volume >= kVolumeFull)
        return 1.0f;
    return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

Mixer::Mixer(int deviceRate, int deviceChannels)
    : m_rate(deviceRate > 0 ? deviceRate : 44100), m_channels(deviceChannels == 1 ? 1 : 2)
{
}

Mixer::Voice* Mixer::Find(int32_t id)
{
    if (id < 0 || id >= static_cast<int32_t>(m_voices.size()) || !m_voices[id].used)
        return nullptr;
    return &m_voices[id];
}

const Mixer::Voice* Mixer::Find(int32_t id) const
{
    if (id < 0 || id >= static_cast<int32_t>(m_voices.size()) || !m_voices[id].used)
        return nullptr;
    return &m_voices[id];
}

int32_t Mixer::AddVoice(std::shared_ptr<const SampleBlock> block)
{
    if (!block || block->channels < 1 || block->rate < 1)
        return -1;
    Voice v;
    v.step = (static_cast<uint64_t>(block->rate) << 32) / static_cast<uint64_t>(m_rate);
    v.block = std::move(block);
    v.used = true;
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_free.empty()) {
        int32_t id = m_free.back();
        m_free.pop_back();
        m_voices[id] = std::move(v);
        return id;
    }
    m_voices.push_back(std::move(v));
    return static_cast<int32_t>(m_voices.size() - 1);
}

void Mixer::RemoveVoice(int32_t id)
{
    std::shared_ptr<const SampleBlock> dropped;  // freed outside the lock
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Voice* v = Find(id);
        if (!v)
            return;
        dropped = std::move(v->block);
        *v = Voice();
        m_free.push_back(id);
    }
}

bool Mixer::Play(int32_t id, bool looping)
{
    std::lock_guard<std::mutex> guard(m_lock);
    Voice* v = Find(id);
    if (!v)
        return false;
    if (!v->playing) {
        v->gain = v->targetGain;
        v->rampLeft = 0;
    }
    v->playing = true;
    v->looping = looping;
    return true;
}

bool Mixer::Stop(int32_t id)
{
    std::lock_guard<std::mutex> guard(m_lock);
    Voice* v = Find(id);
    if (!v)
        return false;
    v->playing = false;
    return true;
}

bool Mixer::SetPosition(int32_t id, uint32_t frame)
{
    std::lock_guard<std::mutex> guard(m_lock);
    Voice* v = Find(id);
    if (!v)
        return false;
    if (frame >= v->block->frames)
        frame = 0;
    v->position = static_cast<uint64_t>(frame) << 32;
    return true;
}

uint32_t Mixer::GetPosition(int32_t id) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const Voice* v = Find(id);
    return v ? static_cast<uint32_t>(v->position >> 32) : 0;
}

bool Mixer::SetVolume(int32_t id, int32_t volume)
{
    // Out-of-range volumes are held at the nearest end rather than refused, so
    // a fade aiming past full volume ends at full volume.
    if (volume < kVolumeSilent)
        volume = kVolumeSilent;
    if (volume > kVolumeFull)
        volume = kVolumeFull;
    std::lock_guard<std::mutex> guard(m_lock);
    Voice* v = Find(id);
    if (!v)
        return false;
    v->volume = volume;
    v->targetGain = VolumeToGain(volume);
    if (v->playing) {
        v->rampLeft = m_rate * kRampMillis / 1000;
        v->gainStep = (v->targetGain - v->gain) / static_cast<float>(v->rampLeft);
    } else {
        v->gain = v->targetGain;
        v->rampLeft = 0;
    }
    return true;
}

int32_t Mixer::GetVolume(int32_t id) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const Voice* v = Find(id);
    return v ? v->volume : kVolumeSilent;
}

uint32_t Mixer::GetStatus(int32_t id) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const Voice* v = Find(id);
    if (!v || !v->playing)
        return 0;
    return kMixerPlaying | (v->looping ? static_cast<uint32_t>(kMixerLooping) : 0u);
}

int Mixer::PlayingVoices() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    int n = 0;
    for (const Voice& v : m_voices)
        n += (v.used && v.playing) ? 1 : 0;
    return n;
}

bool Mixer::WriteSamples(SampleBlock& block, size_t firstSample, const int16_t* samples, size_t count)
{
    const size_t total = static_cast<size_t>(block.frames) * static_cast<size_t>(block.channels);
    if (!block.samples || !samples || firstSample > total || count > total - firstSample)
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    std::memcpy(block.samples.get() + firstSample, samples, count * sizeof(int16_t));
    return true;
}

void Mixer::Mix(int16_t* out, int frames)
{
    if (!out || frames <= 0)
        return;
    const size_t count = static_cast<size_t>(frames) * static_cast<size_t>(m_channels);
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_acc.size() < count)
        m_acc.resize(count);
    float* acc = m_acc.data();
    for (size_t i = 0; i < count; ++i)
        acc[i] = 0.0f;
    for (Voice& v : m_voices) {
        if (v.used && v.playing)
            MixVoice(v, acc, frames);
    }
    for (size_t i = 0; i < count; ++i)
        out[i] = ClampSample(acc[i]);
}

void Mixer::MixVoice(Voice& v, float* acc, int frames)
{
    const SampleBlock& b = *v.block;
    const uint32_t total = b.frames;
    if (total == 0 || !b.samples) {
        v.playing = false;
        v.position = 0;
        return;
    }
    const int sc = b.channels;
    const int16_t* s = b.samples.get();
    const uint64_t end = static_cast<uint64_t>(total) << 32;
    // Source channels feeding the left and right outputs: mono feeds both, more
    // than two channels contribute their first two (front left and right).
    const int left = 0;
    const int right = sc > 1 ? 1 : 0;

    for (int f = 0; f < frames; ++f) {
        if (v.position >= end) {
            if (!v.looping) {
                // A buffer that plays to its end stops and rewinds, like DirectSound's.
                v.playing = false;
                v.position = 0;
                return;
            }
            v.position %= end;
        }
        const uint32_t i0 = static_cast<uint32_t>(v.position >> 32);
        const float t = static_cast<float>(v.position & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        uint32_t i1 = i0 + 1;
        if (i1 >= total)
            i1 = v.looping ? 0 : i0;
        const int16_t* a = s + static_cast<size_t>(i0) * sc;
        const int16_t* c = s + static_cast<size_t>(i1) * sc;
        float l = a[left] + (c[left] - a[left]) * t;
        float r = a[right] + (c[right] - a[right]) * t;

        if (v.rampLeft > 0) {
            v.gain += v.gainStep;
            if (--v.rampLeft == 0)
                v.gain = v.targetGain;
        }
        if (m_channels == 1) {
            acc[f] += (sc > 1 ? (l + r) * 0.5f : l) * v.gain;
        } else {
            acc[2 * f] += l * v.gain;
            acc[2 * f + 1] += r * v.gain;
        }
        v.position += v.step;
    }
    if (v.position >= end && !v.looping) {
        v.playing = false;
        v.position = 0;
    } else if (v.position >= end) {
        v.position %= end;
    }
}
