#pragma once
#include <cstdint>

// Click flags handed to the current mode each frame.
constexpr uint32_t kClickLeft = 1;
constexpr uint32_t kClickRight = 2;
constexpr uint32_t kClickMiddle = 16;

// The character a key gives in name entry (US layout), 0 for none.
int32_t TranslateKey(uint32_t virtualKey, bool shiftDown);

// Key-down table and mouse latches. Only presses reach the game: a press and
// its release within one frame still count as one click, two presses once.
class InputState {
public:
    // True when the key was up (the first key-down, not a repeat).
    bool KeyDown(uint32_t vk);
    void KeyUp(uint32_t vk);
    bool IsDown(uint32_t vk) const { return vk < 256 && m_keys[vk]; }

    // Mouse buttons by latch index (1 left, 2 right, 4 middle). ButtonDown
    // returns true when the capture should be taken; ButtonUp true when every
    // button is up and the capture can go.
    bool ButtonDown(uint32_t latch);
    bool ButtonUp(uint32_t latch);

    uint32_t ClickFlags() const { return m_clickFlags; }
    void ClearClicks() { m_clickFlags = 0; }

private:
    bool m_keys[256] = {};
    uint32_t m_clickFlags = 0;
};

// A developer shortcut typed as a sequence of keys; any other key resets it.
// The level-jump code takes two digits after its letters.
class KeyCode {
public:
    KeyCode(const char* letters, int32_t digits) : m_letters(letters), m_digitCount(digits) {}

    // Feeds one key-down; true when the code (with its digits) is complete.
    bool Feed(uint32_t vk);
    // The digits typed after the letters, a leading "0" dropped ("07" gives "7").
    const char* Digits() const { return m_digits; }
    void Reset();

private:
    const char* m_letters;
    int32_t m_digitCount;
    int32_t m_matched = 0;
    int32_t m_digitsTyped = 0;
    char m_digits[3] = {};
};
