#pragma once
#include <cstdint>

class Window;

// Windows-style messages made from SDL events, plus the messages the game posts
// itself. Mouse positions in lParam are client coordinates of the frame
// (low word x, high word y, signed); keys carry virtual-key codes in wParam and,
// in lParam, the repeat count (bits 0-15), Alt held (bit 29), the previous key
// state (bit 30: 1 for a repeat) and the transition (bit 31: 1 for key up).
struct Message {
    Window* window = nullptr;
    uint32_t type = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    uint32_t time = 0;  // timeGetTime when it was queued
};

constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;  // wParam 1 activated, 0 deactivated
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;  // F10, Alt itself, any key while Alt is held
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_USER = 0x0400;

// Button state bits in wParam of mouse messages.
constexpr uintptr_t MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10;

// Virtual-key codes. Letters are 'A'-'Z' (65-90) and digits '0'-'9' (48-57).
constexpr uint32_t VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_MBUTTON = 0x04;
constexpr uint32_t VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D;
constexpr uint32_t VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14;
constexpr uint32_t VK_ESCAPE = 0x1B, VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28;
constexpr uint32_t VK_INSERT = 0x2D, VK_DELETE = 0x2E;
constexpr uint32_t VK_NUMPAD0 = 0x60;  // ... VK_NUMPAD9 = 0x69
constexpr uint32_t VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E,
                   VK_DIVIDE = 0x6F;
constexpr uint32_t VK_F1 = 0x70;  // ... VK_F12 = 0x7B
constexpr uint32_t VK_F4 = 0x73, VK_F5 = 0x74, VK_F10 = 0x79;
constexpr uint32_t VK_NUMLOCK = 0x90, VK_SCROLL = 0x91;
constexpr uint32_t VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
                   VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0;
constexpr uint32_t VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE;

// Packing helpers for lParam.
constexpr intptr_t MakeMouseLParam(int32_t x, int32_t y)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16));
}
constexpr int32_t MouseX(intptr_t lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
constexpr int32_t MouseY(intptr_t lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }
constexpr bool IsKeyRepeat(intptr_t lParam) { return (lParam & (1 << 30)) != 0; }

// The one message queue of the game's thread. SDL events are translated when
// the queue is read; posted messages join them in order.
// Activation: WM_ACTIVATEAPP(1) when a shown window gains the focus, (0) when it
// loses it. Where no window manager hands out focus (SDL's dummy driver, a bare X
// server such as Xvfb) a shown window counts as active, so a game waiting for
// its activation is never stuck.
class MessageQueue {
public:
    // PeekMessage: true and the first message when one waits; `remove` takes it.
    static bool Peek(Message* out, bool remove);
    // GetMessage: waits for a message and takes it; 0 for WM_QUIT, else 1. Under a
    // VirtualClock nothing can arrive while time stands still: an empty queue
    // gives WM_NULL at once.
    static int32_t Get(Message* out);
    // Waits at most `timeoutMs` for a message (leaving it queued); true when one waits.
    static bool Wait(uint32_t timeoutMs);
    // PostMessage: queued behind what is already there.
    static bool Post(Window* window, uint32_t type, uintptr_t wParam, intptr_t lParam);
    // PostQuitMessage: WM_QUIT with the exit code in wParam, after everything queued.
    static void PostQuit(int32_t exitCode);
    // Drops everything queued (tests, shutdown).
    static void Clear();
};

// Default processing (DefWindowProc) of what the game passes on: Alt+F4 closes
// the window (WM_CLOSE is posted); everything else needs nothing.
intptr_t DefaultWindowProc(const Message& message);
