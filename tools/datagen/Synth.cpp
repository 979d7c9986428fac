#include "datagen/Synth.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kTau = 6.283185307179586;
constexpr int kTable = 4096;

// Band-limited one-cycle tables, built once.
const std::vector<float>& Table(Wave w)
{
    static std::array<std::vector<float>, 4> tables;
    auto& t = tables[static_cast<int>(w)];
    if (!t.empty())
        return t;
    t.assign(kTable + 1, 0.f);
    for (int i = 0; i <= kTable; ++i) {
        double ph = kTau * i / kTable, v = 0;
        switch (w) {
        case Wave::Sine:
            v = std::sin(ph);
            break;
        case Wave::Triangle:
            for (int k = 1; k <= 15; k += 2)
                v += ((k / 2) % 2 ? -1 : 1) * std::sin(k * ph) / (k * k);
            v *= 8 / (M_PI * M_PI);
            break;
        case Wave::Square:
            for (int k = 1; k <= 15; k += 2)
                v += std::sin(k * ph) / k;
            v *= 4 / M_PI * 0.8;
            break;
        case Wave::Saw:
            for (int k = 1; k <= 16; ++k)
                v += std::sin(k * ph) / k;
            v *= 2 / M_PI * 0.7;
            break;
        }
        t[i] = static_cast<float>(v);
    }
    return t;
}

inline float Lookup(const std::vector<float>& t, double phase)
{
    phase -= std::floor(phase);
    double x = phase * kTable;
    int i = static_cast<int>(x);
    double f = x - i;
    return static_cast<float>(t[i] + (t[i + 1] - t[i]) * f);
}

double EnvAt(const Env& e, double t, double dur)
{
    double level;
    if (t < e.attack)
        level = t / e.attack;
    else if (t < e.attack + e.decay)
        level = 1 - (1 - e.sustain) * (t - e.attack) / e.decay;
    else
        level = e.sustain;
    if (t > dur) {
        double r = (t - dur) / e.release;
        level *= r >= 1 ? 0 : (1 - r);
    }
    return level;
}

struct Rng {
    uint32_t s;
    float Next()
    {
        s = s * 1664525u + 1013904223u;
        return static_cast<float>(((s >> 8) & 0xFFFF) / 32768.0 - 1.0);
    }
};

} // namespace

double NoteHz(double midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

Signal::Signal(double seconds, int rate, bool loop)
    : m_rate(rate), m_loop(loop), m_s(static_cast<size_t>(std::lround(seconds * rate)), 0.f)
{
}

void Signal::Add(long i, float v)
{
    long n = static_cast<long>(m_s.size());
    if (m_loop) {
        i %= n;
        if (i < 0)
            i += n;
    } else if (i < 0 || i >= n) {
        return;
    }
    m_s[static_cast<size_t>(i)] += v;
}

void Signal::AddSignal(const Signal& o, double at, double gain)
{
    long start = std::lround(at * m_rate);
    for (size_t i = 0; i < o.m_s.size(); ++i)
        Add(start + static_cast<long>(i), static_cast<float>(o.m_s[i] * gain));
}

void Signal::Note(double t, double dur, double f0, double f1, double amp, Wave wave, Env env, double vibHz,
                  double vibDepth)
{
    const auto& table = Table(wave);
    long start = std::lround(t * m_rate);
    long len = std::lround((dur + env.release) * m_rate);
    double phase = 0;
    for (long i = 0; i < len; ++i) {
        double tt = static_cast<double>(i) / m_rate;
        double k = dur > 0 ? std::min(tt / dur, 1.0) : 1.0;
        double f = f0 * std::pow(f1 / f0, k);
        if (vibHz > 0)
            f *= std::pow(2.0, vibDepth / 12.0 * std::sin(kTau * vibHz * tt));
        phase += f / m_rate;
        Add(start + i, static_cast<float>(amp * EnvAt(env, tt, dur) * Lookup(table, phase)));
    }
}

void Signal::Bell(double t, double f, double amp, double decay)
{
    static const double ratios[] = {1.0, 2.01, 2.76, 4.07, 5.43};
    static const double gains[] = {1.0, 0.5, 0.35, 0.18, 0.1};
    long start = std::lround(t * m_rate);
    long len = std::lround(decay * 5 * m_rate);
    for (int p = 0; p < 5; ++p) {
        double fp = f * ratios[p];
        if (fp > m_rate * 0.45)
            continue;
        double d = decay / (1 + p * 0.7);
        for (long i = 0; i < len; ++i) {
            double tt = static_cast<double>(i) / m_rate;
            double a = std::min(tt / 0.002, 1.0) * std::exp(-tt / d);
            Add(start + i, static_cast<float>(amp * gains[p] * a * std::sin(kTau * fp * tt)));
        }
    }
}

void Signal::Pluck(double t, double f, double amp, double decay, uint32_t seed)
{
    int period = std::max(2, static_cast<int>(std::lround(m_rate / f)));
    std::vector<float> line(static_cast<size_t>(period));
    Rng rng{seed};
    for (auto& v : line)
        v = rng.Next();
    // Soften the attack: average the initial noise once.
    for (int i = 1; i < period; ++i)
        line[i] = 0.5f * (line[i] + line[i - 1]);
    long start = std::lround(t * m_rate);
    long len = std::lround(decay * 4 * m_rate);
    double loss = std::exp(-1.0 / (decay * f));
    int idx = 0;
    for (long i = 0; i < len; ++i) {
        int next = (idx + 1) % period;
        float out = line[idx];
        line[idx] = static_cast<float>(0.5 * (line[idx] + line[next]) * loss);
        idx = next;
        Add(start + i, static_cast<float>(amp * out));
    }
}

void Signal::EPiano(double t, double dur, double f, double amp)
{
    long start = std::lround(t * m_rate);
    long len = std::lround((dur + 0.4) * m_rate);
    for (long i = 0; i < len; ++i) {
        double tt = static_cast<double>(i) / m_rate;
        double index = 1.6 * std::exp(-tt / 0.25);
        double env = std::min(tt / 0.004, 1.0) * std::exp(-tt / 1.1);
        if (tt > dur)
            env *= std::max(0.0, 1 - (tt - dur) / 0.4);
        double mod = index * std::sin(kTau * f * tt);
        Add(start + i, static_cast<float>(amp * env * std::sin(kTau * f * tt + mod)));
    }
}

void Signal::Mallet(double t, double f, double amp)
{
    long start = std::lround(t * m_rate);
    long len = std::lround(0.9 * m_rate);
    for (long i = 0; i < len; ++i) {
        double tt = static_cast<double>(i) / m_rate;
        double a = std::min(tt / 0.002, 1.0);
        double v = std::exp(-tt / 0.22) * std::sin(kTau * f * tt) + 0.35 * std::exp(-tt / 0.05) * std::sin(kTau * f * 3.93 * tt) +
                   0.12 * std::exp(-tt / 0.02) * std::sin(kTau * f * 9.5 * tt);
        Add(start + i, static_cast<float>(amp * a * v));
    }
}

void Signal::Noise(double t, double dur, double amp, double lowpass, double highpass, Env env, uint32_t seed)
{
    Rng rng{seed};
    long start = std::lround(t * m_rate);
    long len = std::lround((dur + env.release) * m_rate);
    double aL = 1 - std::exp(-kTau * lowpass / m_rate);
    double aH = std::exp(-kTau * highpass / m_rate);
    double lp = 0, lp2 = 0, hpPrevIn = 0, hp = 0;
    for (long i = 0; i < len; ++i) {
        double x = rng.Next();
        lp += aL * (x - lp);
        lp2 += aL * (lp - lp2);
        hp = aH * (hp + lp2 - hpPrevIn);
        hpPrevIn = lp2;
        double tt = static_cast<double>(i) / m_rate;
        Add(start + i, static_cast<float>(amp * EnvAt(env, tt, dur) * (highpass > 0 ? hp : lp2) * 2.5));
    }
}

void Signal::Kick(double t, double amp)
{
    long start = std::lround(t * m_rate);
    long len = std::lround(0.35 * m_rate);
    double phase = 0;
    for (long i = 0; i < len; ++i) {
        double tt = static_cast<double>(i) / m_rate;
        double f = 45 + 90 * std::exp(-tt / 0.03);
        phase += f / m_rate;
        Add(start + i, static_cast<float>(amp * std::exp(-tt / 0.09) * std::sin(kTau * phase)));
    }
}

void Signal::Hat(double t, double amp, uint32_t seed)
{
    Env e{0.001, 0.03, 0.0, 0.01};
    Noise(t, 0.03, amp, 12000, 6000, e, seed);
}

void Signal::Lowpass(double hz)
{
    double a = 1 - std::exp(-kTau * hz / m_rate);
    int passes = m_loop ? 2 : 1;
    double y = 0;
    for (int p = 0; p < passes; ++p) {
        for (auto& s : m_s) {
            y += a * (s - y);
            if (p == passes - 1)
                s = static_cast<float>(y);
        }
    }
}

void Signal::Highpass(double hz)
{
    double a = std::exp(-kTau * hz / m_rate);
    int passes = m_loop ? 2 : 1;
    double y = 0, prev = 0;
    std::vector<float> in = m_s;
    for (int p = 0; p < passes; ++p) {
        for (size_t i = 0; i < m_s.size(); ++i) {
            y = a * (y + in[i] - prev);
            prev = in[i];
            if (p == passes - 1)
                m_s[i] = static_cast<float>(y);
        }
    }
}

void Signal::Normalize(double peak)
{
    float m = 0;
    for (float s : m_s)
        m = std::max(m, std::fabs(s));
    if (m <= 0)
        return;
    float k = static_cast<float>(peak / m);
    for (auto& s : m_s)
        s *= k;
}

void Signal::FadeEnds(double in, double out)
{
    size_t n = m_s.size();
    size_t a = std::min(n, static_cast<size_t>(in * m_rate)), b = std::min(n, static_cast<size_t>(out * m_rate));
    for (size_t i = 0; i < a; ++i)
        m_s[i] *= static_cast<float>(i) / a;
    for (size_t i = 0; i < b; ++i)
        m_s[n - 1 - i] *= static_cast<float>(i) / b;
}

Signal Signal::CrossfadeLoop(double loopSeconds) const
{
    Signal out(loopSeconds, m_rate, true);
    size_t n = out.m_s.size();
    size_t x = m_s.size() > n ? m_s.size() - n : 0;
    for (size_t i = 0; i < n; ++i)
        out.m_s[i] = i < m_s.size() ? m_s[i] : 0.f;
    for (size_t i = 0; i < x && i < n; ++i) {
        float k = static_cast<float>(i) / static_cast<float>(x);
        out.m_s[i] = m_s[i] * k + m_s[n + i] * (1 - k);
    }
    return out;
}

namespace {

struct Comb {
    std::vector<float> buf;
    size_t pos = 0;
    float store = 0;
    float Process(float in, float feedback, float damp)
    {
        float out = buf[pos];
        store = out * (1 - damp) + store * damp;
        buf[pos] = in + store * feedback;
        pos = (pos + 1) % buf.size();
        return out;
    }
};

struct Allpass {
    std::vector<float> buf;
    size_t pos = 0;
    float Process(float in)
    {
        float b = buf[pos];
        float out = -in + b;
        buf[pos] = in + b * 0.5f;
        pos = (pos + 1) % buf.size();
        return out;
    }
};

void ReverbChannel(Signal& s, double mix, double room, int spread)
{
    static const int combSizes[] = {1116, 1188, 1277, 1356};
    static const int apSizes[] = {556, 441};
    std::vector<Comb> combs(4);
    std::vector<Allpass> aps(2);
    for (int i = 0; i < 4; ++i)
        combs[i].buf.assign(static_cast<size_t>(combSizes[i] + spread), 0.f);
    for (int i = 0; i < 2; ++i)
        aps[i].buf.assign(static_cast<size_t>(apSizes[i] + spread), 0.f);
    std::vector<float> dry(s.Data(), s.Data() + s.Size());
    int passes = s.Loops() ? 2 : 1;
    float fb = static_cast<float>(0.7 + 0.28 * room);
    for (int p = 0; p < passes; ++p) {
        for (size_t i = 0; i < dry.size(); ++i) {
            float in = dry[i] * 0.015f;
            float acc = 0;
            for (auto& c : combs)
                acc += c.Process(in, fb, 0.3f);
            for (auto& a : aps)
                acc = a.Process(acc);
            if (p == passes - 1)
                s.Data()[i] = static_cast<float>(dry[i] * (1 - mix * 0.5) + acc * mix * 3.0);
        }
    }
}

} // namespace

void Reverb(Signal& left, Signal& right, double mix, double room)
{
    ReverbChannel(left, mix, room, 0);
    ReverbChannel(right, mix, room, 23);
}

namespace {

// One encoding pass; `extra` samples of the loop's start are fed after its end.
// `trimmed` tells whether the final granule position could cut them off again.
bool EncodePass(const char* path, const Signal& left, const Signal* right, float quality, int serial, size_t extra,
                bool& trimmed)
{
    trimmed = false;
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    int channels = right ? 2 : 1;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, left.Rate(), quality) != 0) {
        vorbis_info_clear(&vi);
        std::fclose(f);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "ENCODER", "brimvale-datagen");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);
    ogg_packet header, comm, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comm, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comm);
    ogg_stream_packetin(&os, &code);
    ogg_page og;
    bool ok = true;
    while (ogg_stream_flush(&os, &og) != 0) {
        ok = ok && std::fwrite(og.header, 1, og.header_len, f) == static_cast<size_t>(og.header_len);
        ok = ok && std::fwrite(og.body, 1, og.body_len, f) == static_cast<size_t>(og.body_len);
    }
    // A loop is fed a little of its own beginning after its end, so the last
    // block is coded as it continues; the final granule position then trims
    // the decoded length back to the loop.
    const size_t total = left.Size();
    extra = std::min(extra, total);
    const size_t fed = total + extra;
    const size_t chunk = 1024;
    size_t pos = 0;
    ogg_int64_t lastGranule = 0;
    bool eos = false;
    while (!eos) {
        size_t n = std::min(chunk, fed - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i) {
                size_t at = (pos + i) % total;
                buf[0][i] = std::clamp(left.Data()[at], -1.f, 1.f);
                if (right)
                    buf[1][i] = std::clamp(right->Data()[at], -1.f, 1.f);
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            pos += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                if (op.e_o_s && extra > 0 && lastGranule <= static_cast<ogg_int64_t>(total)) {
                    op.granulepos = static_cast<ogg_int64_t>(total);
                    trimmed = true;
                }
                if (op.granulepos >= 0)
                    lastGranule = op.granulepos;
                ogg_stream_packetin(&os, &op);
                while (!eos && ogg_stream_pageout(&os, &og) != 0) {
                    ok = ok && std::fwrite(og.header, 1, og.header_len, f) == static_cast<size_t>(og.header_len);
                    ok = ok && std::fwrite(og.body, 1, og.body_len, f) == static_cast<size_t>(og.body_len);
                    if (ogg_page_eos(&og))
                        eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

} // namespace

bool EncodeOgg(const char* path, const Signal& left, const Signal* right, float quality, int serial)
{
    if (left.Size() == 0 || (right && right->Size() != left.Size()))
        return false;
    bool trimmed = false;
    if (left.Loops()) {
        // The last packet must end past the loop while the one before does not;
        // a shorter overhang fits more often.
        for (size_t extra : {512u, 256u, 128u, 64u, 32u}) {
            if (!EncodePass(path, left, right, quality, serial, extra, trimmed))
                return false;
            if (trimmed)
                return true;
        }
    }
    return EncodePass(path, left, right, quality, serial, 0, trimmed);
}
