// The 37 sounds the game loads at start-up: short synthesized effects that fit
// their names, seamless loops where the game loops them, two music tracks of
// different moods, and ".snd" volume files where a sound needs balancing.
#include "datagen/Generator.h"
#include "datagen/Synth.h"

#include <cmath>
#include <functional>

namespace {

constexpr double kTau = 6.283185307179586;
constexpr int kRate = 44100;

Env Pluck(double decay = 0.15) { return Env{0.003, decay, 0.0, 0.02}; }
Env Held(double attack = 0.01, double release = 0.08) { return Env{attack, 0.05, 0.85, release}; }

// A tone that repeats exactly after `seconds`: the frequencies are rounded to
// whole cycles per loop and vibrato is done by phase modulation.
void LoopTone(Signal& s, double f, double amp, double vibHz, double vibIndex, double tremHz, double tremDepth,
              Wave wave = Wave::Sine)
{
    double L = s.Seconds();
    double fr = std::round(f * L) / L, vr = std::round(vibHz * L) / L, tr = std::round(tremHz * L) / L;
    for (size_t i = 0; i < s.Size(); ++i) {
        double t = static_cast<double>(i) / s.Rate();
        double ph = fr * t + vibIndex * std::sin(kTau * vr * t) / kTau;
        double x = ph - std::floor(ph);
        double v;
        if (wave == Wave::Triangle)
            v = 4 * std::fabs(x - 0.5) - 1;
        else
            v = std::sin(kTau * x);
        double trem = 1 - tremDepth * 0.5 * (1 - std::cos(kTau * tr * t));
        s.Data()[i] += static_cast<float>(amp * trem * v);
    }
}

using Maker = std::function<Signal()>;

struct SoundDef {
    std::string name;
    Maker make;
    double volume;  // written to a ".snd" file when below 1
};

Signal OneShot(double seconds) { return Signal(seconds, kRate, false); }

Signal Finish(Signal s, double peak)
{
    if (!s.Loops())
        s.FadeEnds(0.002, 0.03);
    s.Normalize(peak);
    return s;
}

std::vector<SoundDef> Effects()
{
    std::vector<SoundDef> v;
    v.push_back({"ButtonHover", [] {
                     Signal s = OneShot(0.09);
                     s.Note(0, 0.04, 1250, 1480, 0.5, Wave::Sine, Env{0.002, 0.03, 0.3, 0.03});
                     return Finish(s, 0.35);
                 }, 1});
    v.push_back({"ButtonClick", [] {
                     Signal s = OneShot(0.2);
                     s.Mallet(0, 660, 0.6);
                     s.Noise(0, 0.008, 0.3, 5000, 800, Env{0.0005, 0.005, 0, 0.004}, 7);
                     return Finish(s, 0.55);
                 }, 1});
    v.push_back({"MGBtnHover", [] {
                     Signal s = OneShot(0.08);
                     s.Note(0, 0.035, 990, 1100, 0.5, Wave::Triangle, Env{0.002, 0.02, 0.4, 0.03});
                     return Finish(s, 0.3);
                 }, 1});
    v.push_back({"JobPerfect", [] {
                     Signal s = OneShot(2.0);
                     const double notes[] = {72, 76, 79, 84};
                     for (int i = 0; i < 4; ++i)
                         s.Mallet(i * 0.1, NoteHz(notes[i]), 0.5);
                     for (double n : {84.0, 88.0, 91.0})
                         s.Bell(0.42, NoteHz(n), 0.25, 0.5);
                     s.Note(0.42, 0.6, NoteHz(72), NoteHz(72), 0.25, Wave::Saw, Held(0.02, 0.4));
                     s.Note(0.42, 0.6, NoteHz(76), NoteHz(76), 0.2, Wave::Saw, Held(0.02, 0.4));
                     s.Lowpass(5000);
                     for (int i = 0; i < 6; ++i)
                         s.Bell(0.5 + i * 0.07, NoteHz(96 + (i % 3) * 4), 0.08, 0.15);
                     return Finish(s, 0.8);
                 }, 1});
    v.push_back({"JobGood", [] {
                     Signal s = OneShot(1.3);
                     const double notes[] = {76, 79, 84};
                     for (int i = 0; i < 3; ++i)
                         s.Mallet(i * 0.12, NoteHz(notes[i]), 0.5);
                     s.Bell(0.24, NoteHz(84), 0.3, 0.4);
                     return Finish(s, 0.75);
                 }, 1});
    v.push_back({"JobTerrible", [] {
                     Signal s = OneShot(1.6);
                     const double notes[] = {55, 54, 53};
                     for (int i = 0; i < 3; ++i)
                         s.Note(i * 0.28, 0.22, NoteHz(notes[i]), NoteHz(notes[i]) * 0.99, 0.5, Wave::Saw, Held(0.03, 0.06));
                     s.Note(0.84, 0.55, NoteHz(52), NoteHz(51.5), 0.5, Wave::Saw, Held(0.03, 0.2), 5.5, 0.35);
                     s.Lowpass(1400);
                     s.Lowpass(2400);
                     return Finish(s, 0.7);
                 }, 1});
    for (int level = 1; level <= 3; ++level) {
        v.push_back({"Combo" + std::to_string(level), [level] {
                         Signal s = OneShot(0.6 + 0.2 * level);
                         const double notes[] = {84, 88, 91, 96};
                         int count = level + 1;
                         for (int i = 0; i < count; ++i)
                             s.Bell(i * 0.07, NoteHz(notes[i] - 12 + 2 * level), 0.35, 0.25 + 0.05 * level);
                         if (level == 3)
                             for (int i = 0; i < 5; ++i)
                                 s.Bell(0.3 + i * 0.05, NoteHz(100 + i * 2), 0.06, 0.12);
                         return Finish(s, 0.6 + 0.05 * level);
                     }, 1});
    }
    v.push_back({"Police", [] {
                     Signal s = OneShot(1.5);
                     for (int i = 0; i < 4; ++i) {
                         double hi = i % 2 == 0;
                         s.Note(i * 0.34, 0.3, hi ? 880 : 660, hi ? 880 : 660, 0.5, Wave::Triangle, Held(0.03, 0.04));
                     }
                     s.Lowpass(3000);
                     return Finish(s, 0.55);
                 }, 0.8});
    v.push_back({"Thief", [] {
                     Signal s = OneShot(1.1);
                     const double notes[] = {64, 63, 62, 61, 57};
                     for (int i = 0; i < 5; ++i)
                         s.Pluck(i * 0.15, NoteHz(notes[i] - 12), 0.6, 0.18, 40 + i);
                     return Finish(s, 0.6);
                 }, 1});
    v.push_back({"ThiefCatch", [] {
                     Signal s = OneShot(1.0);
                     s.Note(0, 0.25, 1100, 1700, 0.3, Wave::Sine, Held(0.01, 0.05), 9, 0.3);
                     s.Note(0.3, 0.2, 1700, 1700, 0.3, Wave::Sine, Held(0.01, 0.08), 9, 0.3);
                     for (double n : {60.0, 64.0, 67.0})
                         s.Pluck(0.3, NoteHz(n), 0.4, 0.3, static_cast<uint32_t>(n));
                     return Finish(s, 0.65);
                 }, 1});
    v.push_back({"Mayor", [] {
                     Signal s = OneShot(1.3);
                     const double notes[] = {67, 72, 76, 79};
                     for (int i = 0; i < 4; ++i) {
                         double d = i == 3 ? 0.5 : 0.1;
                         s.Note(i * 0.12, d, NoteHz(notes[i]), NoteHz(notes[i]), 0.4, Wave::Saw, Held(0.02, 0.08), 5, 0.08);
                         s.Note(i * 0.12, d, NoteHz(notes[i] - 12), NoteHz(notes[i] - 12), 0.2, Wave::Square, Held(0.02, 0.08));
                     }
                     s.Lowpass(2600);
                     return Finish(s, 0.65);
                 }, 1});
    v.push_back({"TVReporter", [] {
                     Signal s = OneShot(0.8);
                     s.Noise(0, 0.02, 0.8, 6000, 1500, Env{0.0005, 0.015, 0, 0.005}, 3);
                     s.Noise(0.08, 0.03, 0.6, 5000, 1200, Env{0.0005, 0.02, 0, 0.01}, 4);
                     s.Note(0.12, 0.45, 1800, 3600, 0.12, Wave::Sine, Held(0.05, 0.1));
                     return Finish(s, 0.55);
                 }, 1});
    v.push_back({"Cafe", [] {
                     Signal s = OneShot(0.8);
                     s.Bell(0, 2637, 0.35, 0.12);
                     s.Bell(0.13, 3136, 0.3, 0.15);
                     s.Noise(0, 0.005, 0.2, 8000, 3000, Env{0.0005, 0.004, 0, 0.002}, 9);
                     return Finish(s, 0.55);
                 }, 1});
    v.push_back({"MayorShow", [] {
                     Signal s = OneShot(1.0);
                     s.Note(0, 0.14, NoteHz(72), NoteHz(72), 0.4, Wave::Saw, Held(0.02, 0.06), 5, 0.06);
                     s.Note(0.18, 0.4, NoteHz(79), NoteHz(79), 0.4, Wave::Saw, Held(0.02, 0.2), 5, 0.08);
                     s.Lowpass(2400);
                     return Finish(s, 0.6);
                 }, 1});
    v.push_back({"TVShow", [] {
                     Signal s = OneShot(1.0);
                     const double notes[] = {81, 76, 81, 88};
                     for (int i = 0; i < 4; ++i)
                         s.Note(i * 0.11, 0.08, NoteHz(notes[i]), NoteHz(notes[i]), 0.3, Wave::Square, Pluck(0.08));
                     s.Bell(0.33, NoteHz(88), 0.2, 0.3);
                     s.Lowpass(4500);
                     return Finish(s, 0.55);
                 }, 1});
    v.push_back({"CafeShow", [] {
                     Signal s = OneShot(1.4);
                     s.Bell(0, NoteHz(76), 0.45, 0.45);
                     s.Bell(0.35, NoteHz(72), 0.45, 0.55);
                     return Finish(s, 0.6);
                 }, 1});
    v.push_back({"ThiefShow", [] {
                     Signal s = OneShot(1.0);
                     const double notes[] = {57, 60, 63, 62};
                     for (int i = 0; i < 4; ++i)
                         s.Pluck(i * 0.17, NoteHz(notes[i]), 0.55, 0.2, 60 + i);
                     return Finish(s, 0.6);
                 }, 1});
    v.push_back({"OrderShow", [] {
                     Signal s = OneShot(0.45);
                     s.Note(0, 0.07, 420, 900, 0.45, Wave::Sine, Env{0.003, 0.05, 0.4, 0.04});
                     s.Bell(0.07, NoteHz(84), 0.15, 0.12);
                     return Finish(s, 0.5);
                 }, 1});
    v.push_back({"OrderComplete", [] {
                     Signal s = OneShot(1.0);
                     s.Noise(0, 0.02, 0.5, 4000, 500, Env{0.0005, 0.015, 0, 0.01}, 12);
                     s.Bell(0.03, 2093, 0.35, 0.35);
                     s.Bell(0.03, 2637, 0.3, 0.35);
                     for (int i = 0; i < 6; ++i)
                         s.Bell(0.08 + i * 0.045, 3500 + 400 * (i % 3), 0.07, 0.06);
                     return Finish(s, 0.6);
                 }, 1});
    v.push_back({"OrderFail", [] {
                     Signal s = OneShot(0.7);
                     s.Note(0, 0.45, 392, 175, 0.5, Wave::Triangle, Held(0.01, 0.12), 7, 0.25);
                     s.Lowpass(1800);
                     return Finish(s, 0.55);
                 }, 1});
    v.push_back({"OrderWarning", [] {
                     Signal s(1.0, kRate, true);
                     s.Mallet(0, 1760, 0.5);
                     s.Mallet(0.5, 1318.5, 0.45);
                     return Finish(s, 0.4);
                 }, 0.6});
    v.push_back({"RatingWarning", [] {
                     Signal s(1.2, kRate, true);
                     s.Note(0.0, 0.25, 440, 440, 0.4, Wave::Triangle, Held(0.04, 0.12));
                     s.Note(0.3, 0.25, 415.3, 415.3, 0.4, Wave::Triangle, Held(0.04, 0.12));
                     s.Lowpass(2500);
                     return Finish(s, 0.4);
                 }, 0.7});
    v.push_back({"RatingRise", [] {
                     Signal s = OneShot(0.9);
                     const double notes[] = {84, 86, 88, 91, 96};
                     for (int i = 0; i < 5; ++i)
                         s.Bell(i * 0.06, NoteHz(notes[i]), 0.25, 0.2);
                     s.Note(0, 0.3, 600, 1800, 0.1, Wave::Sine, Held(0.02, 0.1));
                     return Finish(s, 0.6);
                 }, 1});
    v.push_back({"BonusFreeze", [] {
                     Signal s(2.0, kRate, true);
                     LoopTone(s, NoteHz(88), 0.08, 0, 0, 2, 0.6);
                     LoopTone(s, NoteHz(95), 0.05, 0, 0, 3, 0.6);
                     const double notes[] = {100, 95, 103, 98, 105, 100, 96, 103};
                     for (int i = 0; i < 8; ++i)
                         s.Bell(i * 0.25, NoteHz(notes[i]), 0.12, 0.3);
                     return Finish(s, 0.45);
                 }, 0.7});
    v.push_back({"BonusSpeed", [] {
                     Signal s(1.0, kRate, true);
                     LoopTone(s, 110, 0.3, 0, 0, 8, 0.5, Wave::Triangle);
                     LoopTone(s, 220, 0.15, 0, 0, 8, 0.5, Wave::Triangle);
                     Signal whoosh = OneShot(1.2);
                     whoosh.Noise(0, 1.2, 0.25, 2500, 600, Held(0.01, 0.01), 21);
                     Signal loopNoise = whoosh.CrossfadeLoop(1.0);
                     s.AddSignal(loopNoise, 0, 1);
                     s.Lowpass(3000);
                     return Finish(s, 0.45);
                 }, 0.7});
    v.push_back({"BonusSupply", [] {
                     Signal s(1.6, kRate, true);
                     const double notes[] = {72, 76, 79, 84, 88, 91, 96, 91};
                     for (int i = 0; i < 8; ++i)
                         s.Bell(i * 0.2, NoteHz(notes[i]), 0.25, 0.35);
                     LoopTone(s, NoteHz(60), 0.1, 0, 0, 1.25, 0.5);
                     return Finish(s, 0.55);
                 }, 0.8});
    v.push_back({"BonusTolerance", [] {
                     Signal s(1.6, kRate, true);
                     for (int i = 0; i < 8; ++i)
                         s.Mallet(i * 0.2, i % 2 ? 2093 : 1568, 0.3);
                     s.Bell(0, NoteHz(84), 0.2, 0.5);
                     s.Bell(0.8, NoteHz(88), 0.2, 0.5);
                     return Finish(s, 0.5);
                 }, 0.8});
    v.push_back({"BonusEnd", [] {
                     Signal s = OneShot(0.7);
                     s.Note(0, 0.12, NoteHz(79), NoteHz(79), 0.4, Wave::Triangle, Pluck(0.15));
                     s.Note(0.15, 0.3, NoteHz(72), NoteHz(72), 0.4, Wave::Triangle, Held(0.01, 0.2));
                     return Finish(s, 0.55);
                 }, 1});
    v.push_back({"UFOWarning", [] {
                     Signal s = OneShot(1.6);
                     s.Note(0, 1.2, 300, 900, 0.4, Wave::Sine, Held(0.1, 0.3), 6, 0.8);
                     s.Note(0.1, 1.1, 450, 1350, 0.15, Wave::Sine, Held(0.1, 0.3), 6.5, 0.8);
                     return Finish(s, 0.55);
                 }, 1});
    v.push_back({"UFO", [] {
                     Signal s(2.0, kRate, true);
                     LoopTone(s, 180, 0.35, 4, 12, 0, 0);
                     LoopTone(s, 270, 0.2, 4, 18, 2, 0.4);
                     LoopTone(s, 540, 0.05, 6, 20, 0, 0);
                     return Finish(s, 0.4);
                 }, 0.7});
    v.push_back({"UFOClick", [] {
                     Signal s = OneShot(0.5);
                     s.Note(0, 0.12, 1500, 300, 0.45, Wave::Sine, Env{0.001, 0.1, 0.2, 0.03});
                     s.Bell(0.08, 2637, 0.25, 0.15);
                     s.Bell(0.12, 3520, 0.2, 0.12);
                     return Finish(s, 0.6);
                 }, 1});
    v.push_back({"MGMotor", [] {
                     Signal s(1.0, kRate, true);
                     for (int h = 1; h <= 8; ++h)
                         LoopTone(s, 48.0 * h, 0.35 / h, 0, 0, 24, 0.5);
                     s.Lowpass(900);
                     return Finish(s, 0.45);
                 }, 0.6});
    v.push_back({"MGTurn", [] {
                     Signal s = OneShot(0.45);
                     s.Noise(0, 0.25, 0.6, 3500, 700, Env{0.04, 0.1, 0.6, 0.12}, 33);
                     return Finish(s, 0.45);
                 }, 1});
    return v;
}

// ----- music -----

struct Song {
    double bpm;
    int root;                         // MIDI note of the key
    std::vector<std::vector<int>> chords;  // per bar, scale-relative chord notes (semitones from root)
    uint32_t seed;
};

// A melody that follows the chords, built from a few rhythm cells, in the form
// A A' B A so it sounds written rather than random.
std::vector<std::pair<double, int>> Melody(const Song& song, int bars, std::vector<double>& lengths)
{
    static const int scale[] = {0, 2, 4, 7, 9, 12, 14, 16};  // major pentatonic
    static const double cells[4][5] = {{0, 1, 1.5, 2, 3}, {0, 0.5, 1, 2, 3}, {0, 1.5, 2, 2.5, 3}, {0, 1, 2, 3, -1}};
    uint32_t s = song.seed;
    auto next = [&] {
        s = s * 1103515245u + 12345u;
        return (s >> 16) & 0x7FFF;
    };
    std::vector<std::pair<double, int>> phraseA, phraseB;
    auto makePhrase = [&](int firstBar, std::vector<std::pair<double, int>>& out) {
        int degree = 2;
        for (int b = 0; b < 4; ++b) {
            const double* cell = cells[next() % 4];
            for (int k = 0; k < 5 && cell[k] >= 0; ++k) {
                int step = static_cast<int>(next() % 3) - 1;
                degree = std::clamp(degree + step, 0, 7);
                int note = scale[degree];
                // On strong beats land on a chord tone.
                if (cell[k] == 0 || cell[k] == 2) {
                    const auto& ch = song.chords[(firstBar + b) % song.chords.size()];
                    int best = ch[0] + 12, dist = 99;
                    for (int c : ch)
                        for (int oct : {0, 12})
                            if (std::abs(c + oct - note) < dist)
                                dist = std::abs(c + oct - note), best = c + oct;
                    note = best;
                }
                out.push_back({b * 4 + cell[k], note});
            }
        }
    };
    makePhrase(0, phraseA);
    makePhrase(8, phraseB);
    std::vector<std::pair<double, int>> all;
    for (int part = 0; part < bars / 4; ++part) {
        const auto& ph = (part % 4 == 2) ? phraseB : phraseA;
        for (size_t i = 0; i < ph.size(); ++i) {
            auto n = ph[i];
            if (part % 4 == 1 && i + 1 == ph.size())
                n.second = 0;  // the answering phrase comes home
            all.push_back({part * 16 + n.first, n.second});
        }
    }
    lengths.clear();
    for (size_t i = 0; i < all.size(); ++i) {
        double nextBeat = i + 1 < all.size() ? all[i + 1].first : bars * 4.0;
        lengths.push_back(std::min(nextBeat - all[i].first, 2.0));
    }
    return all;
}

void Pan(Signal& l, Signal& r, const Signal& src, double pan, double gain)
{
    l.AddSignal(src, 0, gain * (1 - pan) * 0.5 * 1.4);
    r.AddSignal(src, 0, gain * (1 + pan) * 0.5 * 1.4);
}

bool WriteMusic(DataDir& dir, const std::string& name, const Song& song, bool upbeat, int serial)
{
    const int bars = 16;
    double beat = 60.0 / song.bpm;
    double length = bars * 4 * beat;
    Signal chords(length, kRate, true), bass(length, kRate, true), lead(length, kRate, true), drums(length, kRate, true);
    for (int b = 0; b < bars; ++b) {
        const auto& ch = song.chords[b % song.chords.size()];
        double t0 = b * 4 * beat;
        if (upbeat) {
            // Bouncy plucked chords on the off-beats, root-fifth bass.
            for (int k = 0; k < 4; ++k) {
                for (int c : ch)
                    chords.Pluck(t0 + (k + 0.5) * beat, NoteHz(song.root + c), 0.22, 0.25, b * 31 + k * 7 + c);
                int bn = song.root - 24 + ch[0] + (k % 2 ? 7 : 0);
                bass.Note(t0 + k * beat, beat * 0.6, NoteHz(bn), NoteHz(bn), 0.5, Wave::Triangle, Env{0.005, 0.1, 0.6, 0.06});
                drums.Kick(t0 + k * beat, k % 2 ? 0.35 : 0.55);
                drums.Hat(t0 + (k + 0.5) * beat, 0.12, b * 4 + k);
                if (k % 2 == 1)
                    drums.Noise(t0 + k * beat, 0.08, 0.18, 5000, 1200, Env{0.002, 0.06, 0.1, 0.05}, 90 + b * 4 + k);
            }
        } else {
            // Soft electric-piano chords and a gentle walking bass.
            for (size_t i = 0; i < ch.size(); ++i)
                chords.EPiano(t0 + i * 0.04, 4 * beat - 0.2, NoteHz(song.root + ch[i]), 0.16);
            for (int c : ch)
                chords.EPiano(t0 + 2.5 * beat, 1.2 * beat, NoteHz(song.root + 12 + c), 0.06);
            int bn = song.root - 24 + ch[0];
            bass.Note(t0, 1.8 * beat, NoteHz(bn), NoteHz(bn), 0.5, Wave::Sine, Env{0.01, 0.3, 0.6, 0.15});
            bass.Note(t0 + 2 * beat, 1.6 * beat, NoteHz(bn + 7), NoteHz(bn + 7), 0.4, Wave::Sine, Env{0.01, 0.3, 0.6, 0.15});
            for (int k = 0; k < 8; ++k)
                drums.Noise(t0 + k * 0.5 * beat, 0.03, k % 2 ? 0.06 : 0.1, 9000, 4000, Env{0.004, 0.03, 0, 0.02},
                            200 + b * 8 + k);
        }
    }
    std::vector<double> lengths;
    auto melody = Melody(song, bars, lengths);
    for (size_t i = 0; i < melody.size(); ++i) {
        double t = melody[i].first * beat;
        double f = NoteHz(song.root + 12 + melody[i].second);
        if (upbeat)
            lead.Mallet(t, f, 0.45);
        else
            lead.Bell(t, f, 0.22, 0.5), lead.Note(t, lengths[i] * beat * 0.9, f, f, 0.12, Wave::Triangle,
                                                Env{0.03, 0.2, 0.6, 0.2}, 5, 0.06);
    }
    chords.Lowpass(upbeat ? 4000 : 3000);
    bass.Lowpass(900);
    Signal left(length, kRate, true), right(length, kRate, true);
    Pan(left, right, chords, -0.3, 1.0);
    Pan(left, right, bass, 0.0, 1.0);
    Pan(left, right, lead, 0.25, 1.0);
    Pan(left, right, drums, 0.1, 0.8);
    Reverb(left, right, upbeat ? 0.18 : 0.3, upbeat ? 0.5 : 0.75);
    double peak = 0;
    for (size_t i = 0; i < left.Size(); ++i)
        peak = std::max(peak, static_cast<double>(std::max(std::fabs(left.Data()[i]), std::fabs(right.Data()[i]))));
    if (peak > 0)
        for (size_t i = 0; i < left.Size(); ++i) {
            left.Data()[i] = static_cast<float>(left.Data()[i] * 0.8 / peak);
            right.Data()[i] = static_cast<float>(right.Data()[i] * 0.8 / peak);
        }
    std::string full;
    if (!dir.Prepare("sfx\\" + name + ".ogg", full))
        return false;
    if (!EncodeOgg(full.c_str(), left, &right, 0.3f, serial))
        return dir.Fail("cannot encode sfx\\" + name + ".ogg");
    return true;
}

} // namespace

bool GenerateSounds(DataDir& dir)
{
    int serial = 0x42560000;
    for (const auto& def : Effects()) {
        Signal s = def.make();
        std::string path = "sfx\\" + def.name + ".ogg", full;
        if (!dir.Prepare(path, full))
            return false;
        if (!EncodeOgg(full.c_str(), s, nullptr, 0.4f, ++serial))
            return dir.Fail("cannot encode " + path);
        if (def.volume < 1) {
            char text[32];
            std::snprintf(text, sizeof text, "%.2f\n", def.volume);
            if (!dir.WriteText("sfx\\" + def.name + ".snd", text))
                return false;
        }
    }
    // Menu: calm, F major, electric piano and bells. Play: bouncy, G major, plucks and mallets.
    Song menu{88, 65, {{0, 4, 7}, {-3, 0, 4}, {-7, -3, 0}, {-5, -1, 2}, {0, 4, 7}, {-8, -3, 0}, {-7, -3, 0}, {-5, 2, 5}}, 7};
    Song play{116, 67, {{0, 4, 7}, {-5, -1, 2}, {-3, 0, 4}, {-7, -3, 0}}, 19};
    return WriteMusic(dir, "mainmenu", menu, false, 0x4256A001) && dir.WriteText("sfx\\mainmenu.snd", "0.85\n") &&
           WriteMusic(dir, "ingame", play, true, 0x4256A002) && dir.WriteText("sfx\\ingame.snd", "0.75\n");
}
