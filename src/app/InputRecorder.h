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
    bool Open(const std::string& path, uint32_t seed, uint32_t stepMs);
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
