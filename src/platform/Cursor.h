#pragma once
#include <cstdint>

struct CursorBackend;

constexpr int32_t IDC_ARROW = 32512;
constexpr int32_t IDC_WAIT = 32514;
constexpr int32_t IDC_GAME_CURSOR = 111;    // the hand the game shows over the town
constexpr int32_t IDC_SECOND_CURSOR = 116;  // the game's second cursor

// Pointer pictures compiled into the executable (our own drawings), made into
// SDL colour cursors. Cursors live until the platform stops.
class Cursor {
public:
    // IDC_ARROW, IDC_WAIT, 111 or 116; null for anything else.
    static Cursor* Load(int32_t resourceId);
    // Frees every loaded cursor (the platform does this when it stops).
    static void FreeAll();
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;
    int32_t GetResourceId() const { return m_id; }
    // Picture of the cursor: 32 x 32 ARGB, with its hot spot.
    const uint32_t* GetPixels() const;
    int32_t GetHotX() const;
    int32_t GetHotY() const;

    CursorBackend* GetBackend() const { return m_backend; }

private:
    Cursor() = default;
    int32_t m_id = 0;
    CursorBackend* m_backend = nullptr;
};

// Shows the cursor now (SetCursor); returns the one shown before.
Cursor* SetCursor(Cursor* cursor);
Cursor* GetCurrentCursor();
