#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

struct Message;

// Writes every input the game takes (pointer moves, buttons, keys), each with
// the number of frames run before it arrived, and the game time of the frames,
// as a script the headless runner replays: the same seed, the same input on
// the same frames, so the same day.
class InputRecorder {
public:
    InputRecorder() = default;
    ~InputRecorder();
    InputRecorder(const InputRecorder&) = delete;
    InputRecorder& operator=(const InputRecorder&) = delete;

    // Opens the file and writes the header; false when it cannot be written.
    // `digest` (may be empty) names the data, profiles and settings it starts from.
    bool Open(const std::string& path, uint32_t seed, uint32_t stepMs, const std::string& digest = "");

    // A digest of every file below the data directory and the player's own
    // (data set, profiles, settings, highscores; not the logs, nor `skip`):
    // a replay against other files would go its own way.
    static std::string DigestStart(const std::string& skip);
    // Whether a replay may run here: true when the recording names no digest
    // or the same one; otherwise false with the reason for the player.
    static bool MatchesStart(const std::string& recorded, const std::string& here, std::string* why);
    bool IsOpen() const { return m_file != nullptr; }
    // A message taken from the queue before frame `frame` + 1 (input only is kept).
    void Note(const Message& message, int64_t frame);
    // The game time frame `frame` + 1 is given (written when it changes).
    void NoteStep(int64_t frame, float stepMs);
    // The game closed after `frame` frames: the replay ends there too.
    void Close(int64_t frame);

private:
    FILE* m_file = nullptr;
    std::string m_path;
    uint32_t m_step = 0;
};
