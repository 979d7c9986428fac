#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Sound synthesis for the data set's effects and music. A Signal is one mono
// channel of float samples; a looping Signal wraps everything that runs past
// its end back to its start, so a loop's tails fade into its beginning and
// the loop joins without a click.

enum class Wave { Sine, Triangle, Square, Saw };

// Attack, decay to the sustain level, release after the note's duration (seconds).
struct Env {
    double attack = 0.005;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.05;
};

class Signal {
public:
    Signal(double seconds, int rate = 44100, bool loop = false);

    int Rate() const { return m_rate; }
    size_t Size() const { return m_s.size(); }
    bool Loops() const { return m_loop; }
    float* Data() { return m_s.data(); }
    const float* Data() const { return m_s.data(); }
    double Seconds() const { return static_cast<double>(m_s.size()) / m_rate; }

    void Add(long index, float v);
    void AddSignal(const Signal& other, double at, double gain);

    // A note gliding from f0 to f1 (Hz) under the envelope; vibrato in Hz and semitones.
    void Note(double t, double dur, double f0, double f1, double amp, Wave wave, Env env, double vibratoHz = 0,
              double vibratoDepth = 0);
    // Struck bell: inharmonic partials with exponential decay.
    void Bell(double t, double f, double amp, double decay);
    // Plucked string (Karplus-Strong).
    void Pluck(double t, double f, double amp, double decay, uint32_t seed);
    // Electric piano (two-operator FM with a decaying index).
    void EPiano(double t, double dur, double f, double amp);
    // Marimba-like mallet.
    void Mallet(double t, double f, double amp);
    // Filtered noise with an envelope.
    void Noise(double t, double dur, double amp, double lowpass, double highpass, Env env, uint32_t seed);
    void Kick(double t, double amp);
    void Hat(double t, double amp, uint32_t seed);

    // Whole-signal filters; a looping signal is filtered around its wrap.
    void Lowpass(double hz);
    void Highpass(double hz);
    // Scales so the loudest sample is `peak`.
    void Normalize(double peak);
    // Short fades at both ends (one-shots only).
    void FadeEnds(double inSeconds, double outSeconds);
    // Turns a one-shot rendered a little longer than the loop into a seamless
    // loop of `loopSeconds`: the overhang is cross-faded into the start.
    Signal CrossfadeLoop(double loopSeconds) const;

private:
    int m_rate;
    bool m_loop;
    std::vector<float> m_s;
};

// Frequency of a MIDI note number.
double NoteHz(double midi);

// Simple stereo reverb (Schroeder) applied to a left/right pair of equal length;
// looping pairs are processed around the wrap.
void Reverb(Signal& left, Signal& right, double mix, double roomSize);

// Encodes Ogg Vorbis with a fixed stream serial number; one channel, or two
// when right is given. Identical input gives identical bytes.
bool EncodeOgg(const char* path, const Signal& left, const Signal* right, float quality, int serial);
